// Push constants of the world pipelines and of the sky: the camera, the light and the block being
// mined (all zero while drawing anything but chunk meshes), then the frame's own values, the same
// for every draw of a frame. The fog distances come from specialisation constants.
layout(push_constant) uniform WorldBlock {
    layout(offset = 0) mat4 camera;  // view-projection, column-major
    layout(offset = 64) vec4 light;  // x daylight 0..1; y, z, w the player position
    layout(offset = 80) vec4 target;  // x, y, z the mined cell; w the mining progress 0..1
    layout(offset = 96) float animationSeconds;  // waves, swaying plants
    layout(offset = 100) float dayFraction;      // the sun's course, 0..1
    // 1 while an opaque screen hides the whole world: nothing of it need be shaded.
    layout(offset = 104) uint worldCovered;
} world;

float sunSine() { return sin(6.2831853 * world.dayFraction); }
