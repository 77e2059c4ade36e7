#version 450
// The inventory portrait: vertices in framebuffer pixels, mapped to clip space by the pass's matrix.
layout(push_constant) uniform Portrait {
    mat4 toClip;
    float fade;
} pc;

layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inColour;
layout(location = 2) in vec3 inTexture;  // u, v, 100000 skin or 200000 armour tint

layout(location = 0) out vec2 outUv;
layout(location = 1) flat out float outMaterial;
layout(location = 2) out vec3 outColour;

void main() {
    gl_Position = pc.toClip * vec4(inPosition.xy, 0.0, 1.0);
    outUv = inTexture.xy;
    outMaterial = inTexture.z;
    outColour = inColour;
}
