#version 450
#extension GL_GOOGLE_include_directive : require
// One triangle that covers the screen, for the sky and the interface. For the sky the push
// constants hold the camera, the light and the frame's values, and the two points that each corner
// sees at two depths give the view ray; the interface ignores them. The values the same at every
// pixel are worked out here, once a draw: the software driver reads the meta buffer lane by lane in
// a fragment shader.
#include "pipeline_constants.glsl"
#include "world_block.glsl"
#include "meta.glsl"
#include "colour.glsl"

layout(location = 0) out vec2 outScreen;  // 0..1 across the framebuffer
layout(location = 1) out vec4 outNear;    // homogeneous world points, divided per fragment
layout(location = 2) out vec4 outFar;
layout(location = 3) flat out uvec4 outInterfaceHeader;  // shared elements, tile size, columns, rows
// The sky's values that are the same at every pixel, with the same code the sky's pixels used: the
// horizon colour and the stars' strength, the zenith colour, the sun direction. The interface's
// pipeline works them out from its own push constants and never reads them.
layout(location = 4) flat out vec4 outHorizonNight;
layout(location = 5) flat out vec3 outZenith;
layout(location = 6) flat out vec3 outSun;

// True for the sky's pipelines. While an opaque screen hides the world the sky's triangle goes
// outside the view, so none of its pixels is shaded: what the interface paints with full alpha does
// not depend on what lies under it. Nothing else depends on it.
CONSTANT_ID(0) const bool SKY = false;
const vec4 OUT_OF_VIEW = vec4(-2.0, -2.0, -2.0, 1.0);

const vec2 CORNERS[3] = vec2[](vec2(-1.0, -1.0), vec2(3.0, -1.0), vec2(-1.0, 3.0));

void main() {
    vec2 ndc = CORNERS[gl_VertexIndex % 3];
    gl_Position = vec4(ndc, 0.0, 1.0);
    outScreen = ndc * 0.5 + 0.5;
    mat4 toWorld = inverse(world.camera);
    outNear = toWorld * vec4(ndc, 0.0, 1.0);
    outFar = toWorld * vec4(ndc, 0.5, 1.0);
    outInterfaceHeader = uvec4(meta.words[META_INTERFACE_HEADER], meta.words[META_INTERFACE_HEADER + 1u],
                               meta.words[META_INTERFACE_HEADER + 2u], meta.words[META_INTERFACE_HEADER + 3u]);
    if (SKY && world.worldCovered != 0u) gl_Position = OUT_OF_VIEW;
    float s = sunSine();
    outHorizonNight = vec4(horizonColour(s), clamp(1.0 - world.light.x * 2.2, 0.0, 1.0));
    outZenith = zenithColour(s);
    outSun = sunDirection(world.dayFraction);
}
