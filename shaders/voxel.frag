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
const float FOG_START = 56.0;
const float FOG_END = 108.0;

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

vec3 fogged(vec3 colour) {
    float distance = length(inWorld.xz - vec2(world.light.y, world.light.w));
    float amount = smoothstep(FOG_START, FOG_END, distance);
    return mix(colour, horizonColour(sunSine(world.light.x)), amount);
}

vec4 particle() {
    vec2 centred = inUv * 2.0 - 1.0;
    float disc = 1.0 - smoothstep(0.55, 1.0, length(centred));
    float alpha = clamp(inLight.x, 0.0, 1.0) * disc;
    if (alpha <= 0.004) discard;
    return vec4(srgbToLinear(inBrightness), alpha);
}

vec4 waterSurface(uint layer) {
    float t = animationSeconds();
    vec2 drift = inSurface > 0.5 ? vec2(t * 0.035, t * 0.021) : vec2(0.0);
    vec4 texel = materialTexel(layer, fract(inUv + drift));
    vec3 lit = texel.rgb * inBrightness * lightColour(inLight, world.light.x);
    float glint = inSurface * 0.08 * clamp(world.light.x, 0.0, 1.0);
    return vec4(fogged(lit + glint), WATER_ALPHA);
}

void main() {
    float code = inMaterial;
    if (code >= CODE_PARTICLE) {
        outColour = particle();
        return;
    }
    if (code >= CODE_UNSHADED_COLOUR - 0.5 && code < CODE_EXTRA_TEXTURE) {
        outColour = vec4(fogged(srgbToLinear(inBrightness)), 1.0);
        return;
    }
    vec3 light = lightColour(inLight, world.light.x);
    if (code >= CODE_SHADED_COLOUR - 0.5 && code < CODE_EXTRA_TEXTURE) {
        outColour = vec4(fogged(srgbToLinear(inBrightness) * light), 1.0);
        return;
    }
    uint material;
    if (code >= CODE_EXTRA_TEXTURE) {
        material = MATERIAL_NPC_TEXTURE + uint(code - CODE_EXTRA_TEXTURE + 0.5);
    } else if (code >= CODE_SKIN - 0.5) {
        material = MATERIAL_PLAYER_SKIN;
    } else {
        material = uint(code + 0.5);
        if (material >= WATER_FIRST_LAYER && material < WATER_FIRST_LAYER + 6u) {
            outColour = waterSurface(material);
            return;
        }
    }
    vec4 texel = materialTexel(material, inUv);
    // Leaves, plants and skins cut out their transparent texels.
    if (texel.a < 0.5) discard;
    // The brightness carries the face and corner shade as it looks on screen.
    vec3 shade = srgbToLinear(inBrightness);
    vec3 lit = texel.rgb * shade * light * miningShade(inWorld);
    outColour = vec4(fogged(lit), 1.0);
}
