// The pipelines' own constants. Declared through CONSTANT_ID so that the same sources also compile,
// with FIXED_CONSTANTS, into shaders whose constants are plain: a folder that knows no extra pipeline.
#ifdef FIXED_CONSTANTS
#define CONSTANT_ID(n)
#else
#define CONSTANT_ID(n) layout(constant_id = n)
#endif
