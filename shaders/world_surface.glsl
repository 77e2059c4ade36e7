// How a world vertex's texture layer or material code is drawn. The code is the same at every pixel
// of a triangle, so a block of pixels takes one branch of the kind and the software driver can skip
// the others. The fragment stage decodes it: the vertex stage and the triangle set-up run on one
// thread, the fragment stage on all of them.

// Material codes of the layer field.
const float CODE_SKIN = 100000.0;
const float CODE_SHADED_COLOUR = 200000.0;
const float CODE_UNSHADED_COLOUR = 200001.0;
const float CODE_EXTRA_TEXTURE = 300000.0;
const float CODE_PARTICLE = 400000.0;
const uint WATER_FIRST_LAYER = 30u;  // the six faces of water, block id 5

const uint SURFACE_TEXTURED = 0u;  // a texel, cut out where it is transparent
const uint SURFACE_WATER = 1u;
const uint SURFACE_SHADED_COLOUR = 2u;
const uint SURFACE_UNSHADED_COLOUR = 3u;
const uint SURFACE_PARTICLE = 4u;

uint surfaceMaterial(float code) {
    uint material = uint(code + 0.5);
    if (code >= CODE_SKIN - 0.5) material = MATERIAL_PLAYER_SKIN;
    if (code >= CODE_EXTRA_TEXTURE) material = MATERIAL_NPC_TEXTURE + uint(code - CODE_EXTRA_TEXTURE + 0.5);
    return material;
}

uint surfaceKind(float code, uint material) {
    if (code >= CODE_PARTICLE) return SURFACE_PARTICLE;
    if (code >= CODE_UNSHADED_COLOUR - 0.5 && code < CODE_EXTRA_TEXTURE) return SURFACE_UNSHADED_COLOUR;
    if (code >= CODE_SHADED_COLOUR - 0.5 && code < CODE_EXTRA_TEXTURE) return SURFACE_SHADED_COLOUR;
    if (code < CODE_SKIN - 0.5 && material >= WATER_FIRST_LAYER && material < WATER_FIRST_LAYER + 6u)
        return SURFACE_WATER;
    return SURFACE_TEXTURED;
}
