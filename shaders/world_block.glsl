// Push constants of the world pipelines and of the sky: the camera, the light and the block being
// mined (all zero while drawing anything but chunk meshes). The frame's clock comes from the content
// meta buffer (meta.glsl), the fog distances from specialisation constants.
layout(push_constant) uniform WorldBlock {
    mat4 camera;  // view-projection, column-major
    vec4 light;   // x daylight 0..1; y, z, w the player position
    vec4 target;  // x, y, z the mined cell; w the mining progress 0..1
} world;
