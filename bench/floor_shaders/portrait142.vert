#version 450
layout(push_constant) uniform Portrait {
    mat4 toClip;
} portrait;
layout(location = 0) in vec3 inPosition;
void main() { gl_Position = portrait.toClip * vec4(inPosition.xy, 0.0, 1.0); }
