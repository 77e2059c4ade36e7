#version 450
// One triangle that covers the screen, for the sky and the interface. For the sky the push
// constants hold the camera, and the two points that each corner sees at two depths give the view
// ray; the interface pass ignores them.
layout(push_constant) uniform Camera {
    mat4 camera;
} pc;

layout(location = 0) out vec2 outScreen;  // 0..1 across the framebuffer
layout(location = 1) out vec4 outNear;    // homogeneous world points, divided per fragment
layout(location = 2) out vec4 outFar;

const vec2 CORNERS[3] = vec2[](vec2(-1.0, -1.0), vec2(3.0, -1.0), vec2(-1.0, 3.0));

void main() {
    vec2 ndc = CORNERS[gl_VertexIndex % 3];
    gl_Position = vec4(ndc, 0.0, 1.0);
    outScreen = ndc * 0.5 + 0.5;
    mat4 toWorld = inverse(pc.camera);
    outNear = toWorld * vec4(ndc, 0.0, 1.0);
    outFar = toWorld * vec4(ndc, 0.5, 1.0);
}
