#version 450
// The floor's world vertices: positions only, so the driver's set-up interpolates nothing.
layout(push_constant) uniform World {
    mat4 camera;
} world;
layout(location = 0) in vec3 inPosition;
void main() { gl_Position = world.camera * vec4(inPosition, 1.0); }
