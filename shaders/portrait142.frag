#version 450
#extension GL_GOOGLE_include_directive : require
// The portrait's skin and armour shells, fading in as the inventory opens.
#include "meta.glsl"
#include "colour.glsl"

// The block atlas, sRGB bytes in a UNORM image.
layout(set = 0, binding = 0) uniform sampler2D blockAtlas;

layout(push_constant) uniform Portrait {
    mat4 toClip;
    float fade;
} pc;

layout(location = 0) in vec2 inUv;
layout(location = 1) flat in float inMaterial;
layout(location = 2) in vec3 inColour;

layout(location = 0) out vec4 outColour;

const float CODE_SKIN = 100000.0;

void main() {
    vec3 colour = srgbToLinear(inColour);
    if (inMaterial < CODE_SKIN + 0.5) {
        vec4 rect = materialRect(MATERIAL_PLAYER_SKIN);
        vec2 at = rect.xy + clamp(inUv, 0.0, 1.0) * rect.zw;
        vec4 texel = rect.z > 0.0 ? srgbToLinear(textureLod(blockAtlas, at, 0.0)) : vec4(1.0);
        if (texel.a < 0.5) discard;
        colour *= texel.rgb;
    }
    outColour = vec4(colour, clamp(pc.fade, 0.0, 1.0));
}
