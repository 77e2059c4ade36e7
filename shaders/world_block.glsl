// Push constants of the world pipelines and of the sky: the camera, the light, the block being mined
// (all zero while drawing anything but chunk meshes) and the frame's fog and clock.
layout(push_constant) uniform WorldBlock {
    mat4 camera;  // view-projection, column-major
    vec4 light;   // x daylight 0..1; y, z, w the player position
    vec4 target;  // x, y, z the mined cell; w the mining progress 0..1
    vec4 frame;   // fog start, fog end, animation seconds, day fraction
} world;

// The sun's sine from the frame's day fraction. A push constant is read once for a block of pixels,
// the meta buffer per pixel.
float frameSunSine() { return sin(6.2831853 * world.frame.w); }
