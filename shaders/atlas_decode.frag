#version 450
#extension GL_GOOGLE_include_directive : require
// The block atlas decoded once to linear colour, texel for texel, with the sRGB decode the other
// shaders use, so that a world pixel reads the same value it would decode itself.
#include "colour.glsl"

layout(set = 0, binding = 0) uniform sampler2D blockAtlas;

layout(location = 0) out vec4 outColour;

void main() { outColour = srgbToLinear(texelFetch(blockAtlas, ivec2(gl_FragCoord.xy), 0)); }
