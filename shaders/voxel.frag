#version 450
#extension GL_GOOGLE_include_directive : require
// Lit, textured world geometry: block faces with sky and block light under the daylight, colour
// boxes, extra textures, the player skin, water (blended by its pipeline) and particles.
#include "world_block.glsl"
#include "meta.glsl"
#include "colour.glsl"

layout(set = 0, binding = 0) uniform sampler2D blockAtlas;

layout(location = 0) in vec2 inUv;
layout(location = 1) flat in float inMaterial;
layout(location = 2) in vec3 inBrightness;
layout(location = 3) in vec2 inLight;
layout(location = 4) in vec3 inWorld;
layout(location = 5) in float inSurface;

layout(location = 0) out vec4 outColour;

// Material codes of the layer field.
const float CODE_SKIN = 100000.0;
const float CODE_SHADED_COLOUR = 200000.0;
const float CODE_UNSHADED_COLOUR = 200001.0;
const float CODE_EXTRA_TEXTURE = 300000.0;
const float CODE_PARTICLE = 400000.0;
const uint WATER_FIRST_LAYER = 30u;  // the six faces of water, block id 5
const float WATER_ALPHA = 0.74;

// The texel of a material; the 2-pixel border around each atlas image keeps nearest sampling at
// the edges inside it. A material without a rectangle shows as opaque white.
vec4 materialTexel(uint material, vec2 uv) {
    vec4 rect = materialRect(material);
    if (rect.z <= 0.0) return vec4(1.0);
    return srgbToLinear(textureLod(blockAtlas, rect.xy + clamp(uv, 0.0, 1.0) * rect.zw, 0.0));
}

// Sky light follows the daylight; block light is warm and does not.
vec3 lightColour(vec2 light, float daylight) {
    float sky = light.x * light.x * daylight;
    float block = light.y * light.y;
    vec3 skyTint = mix(vec3(0.55, 0.62, 0.85), vec3(1.0), clamp(daylight * 1.4, 0.0, 1.0));
    return max(vec3(0.035), max(skyTint * sky, vec3(1.0, 0.86, 0.68) * block));
}

// Darkening speckles that spread over the faces of the cell being mined as the progress grows.
float miningShade(vec3 p) {
    float progress = world.target.w;
    if (progress <= 0.0) return 1.0;
    vec3 local = p - world.target.xyz;
    if (any(lessThan(local, vec3(-0.002))) || any(greaterThan(local, vec3(1.002)))) return 1.0;
    vec2 grain = floor((local.xz + local.yy * vec2(1.37, 0.71)) * 8.0);
    return hash12(grain) < progress ? 0.45 : 1.0;
}

// None near the player, all before the edge of the loaded window can show.
float fogAmount() {
    float distance = length(inWorld.xz - vec2(world.light.y, world.light.w));
    return smoothstep(metaFloat(META_FOG), metaFloat(META_FOG + 1u), distance);
}

void shade() {
    float code = inMaterial;
    bool isParticle = code >= CODE_PARTICLE;
    bool isColour = code >= CODE_SHADED_COLOUR - 0.5 && code < CODE_EXTRA_TEXTURE;
    bool isUnshaded = code >= CODE_UNSHADED_COLOUR - 0.5 && code < CODE_EXTRA_TEXTURE;
    uint material = uint(code + 0.5);
    if (code >= CODE_SKIN - 0.5) material = MATERIAL_PLAYER_SKIN;
    if (code >= CODE_EXTRA_TEXTURE) material = MATERIAL_NPC_TEXTURE + uint(code - CODE_EXTRA_TEXTURE + 0.5);
    bool isWater = code < CODE_SKIN - 0.5 && material >= WATER_FIRST_LAYER && material < WATER_FIRST_LAYER + 6u;

    // One texel, one brightness decode, one light and one fog, whichever path the fragment takes:
    // the driver runs every path anyway.
    float t = animationSeconds();
    vec2 drift = inSurface > 0.5 ? vec2(t * 0.035, t * 0.021) : vec2(0.0);
    vec4 texel = materialTexel(material, isWater ? fract(inUv + drift) : inUv);
    vec3 linear = srgbToLinear(inBrightness);
    vec3 light = lightColour(inLight, world.light.x);

    // Leaves, plants and skins cut out their transparent texels; faint particle edges go too.
    float particleAlpha = clamp(inLight.x, 0.0, 1.0) * (1.0 - smoothstep(0.55, 1.0, length(inUv * 2.0 - 1.0)));
    bool cut = isParticle ? particleAlpha <= 0.004 : (!isColour && !isWater && texel.a < 0.5);
    if (cut) discard;

    // The brightness carries the face and corner shade as it looks on screen; water takes it as is.
    vec3 colour = texel.rgb * linear * light * miningShade(inWorld);
    if (isWater) colour = texel.rgb * inBrightness * light + inSurface * 0.08 * clamp(world.light.x, 0.0, 1.0);
    if (isColour) colour = isUnshaded ? linear : linear * light;
    // Fogged water turns opaque, so that nothing shows through the open sides of the window's water.
    float fog = fogAmount();
    vec3 fogged = mix(colour, horizonColour(sunSine(world.light.x)), fog);
    outColour = isParticle ? vec4(linear, particleAlpha) : vec4(fogged, isWater ? mix(WATER_ALPHA, 1.0, fog) : 1.0);
}

// Hidden pixels get a constant; the same value at every pixel keeps the branch uniform, and the
// driver skips what no pixel takes.
void main() {
    if (worldCovered())
        outColour = vec4(0.0, 0.0, 0.0, 1.0);
    else
        shade();
}
