// How a world vertex's texture layer or material code is drawn. The vertex stage decodes it once a
// vertex and hands the fragment stage the kind with the atlas rectangle (surfaceRect).

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

// One flat vec4 carries the kind and, for the textured kinds, the atlas rectangle: colours, particles
// and a face without a rectangle (drawn white) as (-kind, 0, 0, 0); water with a rectangle with its
// height negated (its texture reads abs(), which is exact); any other textured face as its rectangle.
vec4 surfaceRect(uint kind, vec4 rect) {
    if (kind == SURFACE_TEXTURED && rect.z <= 0.0) return vec4(0.0);
    if ((kind != SURFACE_TEXTURED && kind != SURFACE_WATER) || rect.z <= 0.0) return vec4(-float(kind), 0.0, 0.0, 0.0);
    return kind == SURFACE_WATER ? vec4(rect.xyz, -rect.w) : rect;
}

uint surfaceRectKind(vec4 r) {
    if (r.x < 0.0) return uint(-r.x + 0.5);
    return r.w < 0.0 ? SURFACE_WATER : SURFACE_TEXTURED;
}
