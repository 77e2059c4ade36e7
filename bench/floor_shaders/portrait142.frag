#version 450
// A constant colour: what rasterising and blending cost without any shading.
layout(location = 0) out vec4 outColour;
void main() { outColour = vec4(0.5, 0.5, 0.5, 1.0); }
