#version 450
// One triangle over the whole decoded block atlas.
const vec2 CORNERS[3] = vec2[](vec2(-1.0, -1.0), vec2(3.0, -1.0), vec2(-1.0, 3.0));

void main() { gl_Position = vec4(CORNERS[gl_VertexIndex % 3], 0.0, 1.0); }
