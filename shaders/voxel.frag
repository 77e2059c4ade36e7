#version 450
#extension GL_GOOGLE_include_directive : require
// Lit, textured world geometry: block faces with sky and block light under the daylight, colour
// boxes, extra textures, the player skin, water (blended by its pipeline) and particles.
#include "pipeline_constants.glsl"
#include "world_block.glsl"
#include "meta.glsl"
#include "world_surface.glsl"
#include "colour.glsl"

// The block atlas: sRGB bytes in a UNORM image, decoded here.
layout(set = 0, binding = 0) uniform sampler2D blockAtlas;

// The chunks' pipelines set CHUNK_PASSES: see voxel.vert.
CONSTANT_ID(3) const bool CHUNK_PASSES = false;
layout(location = 0) in vec4 inUvLight;
layout(location = 1) in vec4 inBrightnessSurface;
layout(location = 2) in vec3 inWorld;
vec3 brightness() { return CHUNK_PASSES ? vec3(inBrightnessSurface.r) : inBrightnessSurface.rgb; }
vec2 placeXZ() { return CHUNK_PASSES ? inBrightnessSurface.yz : inWorld.xz; }
float openSurface() { return inBrightnessSurface.a; }
layout(location = 3) flat in vec4 inSurfaceRect;  // see surfaceRect

layout(location = 0) out vec4 outColour;

const float WATER_ALPHA = 0.74;

// Which surfaces the pipeline draws: 0 every kind, 1 textured faces only (the chunks' solid pass),
// 2 water only (the water pass); and whether it shows the mined cell's speckles. The driver runs every
// instruction of a shader at every pixel, branches that no pixel takes included, so a pass that draws
// one kind leaves the others' code out.
CONSTANT_ID(0) const uint SURFACES = 0u;
CONSTANT_ID(1) const bool MINING_SHOWN = true;
// The chunks' plain triangles, whose materials have no texel to cut out: without a discard the
// driver tests and writes depth before shading, so hidden pixels are not shaded.
CONSTANT_ID(2) const bool PLAIN = false;
// Where the fog begins and where it hides everything: the program's fog range of the chunk radius
// (render::fogRange), fixed for a pipeline, since the driver reads a buffer at every pixel.
CONSTANT_ID(4) const float FOG_START = 16.0;
CONSTANT_ID(5) const float FOG_END = 32.0;

// The texel of a material as linear colour, one decode a pixel; the 2-pixel border around each
// atlas image keeps nearest sampling at the edges inside it. A material without a rectangle shows
// as opaque white.
vec4 materialTexel(vec2 uv) {
    vec4 rect = inSurfaceRect;
    vec4 texel = srgbToLinear(textureLod(blockAtlas, rect.xy + clamp(uv, 0.0, 1.0) * abs(rect.zw), 0.0));
    return rect.z <= 0.0 ? vec4(1.0) : texel;
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
    float distance = length(placeXZ() - vec2(world.light.y, world.light.w));
    return smoothstep(FOG_START, FOG_END, distance);
}

// Particles carry their colour in the brightness and their opacity in the sky light.
void shadeParticle(vec3 linear) {
    float opacity = inUvLight.z;
    vec2 uv = inUvLight.xy;
    float particleAlpha = clamp(opacity, 0.0, 1.0) * (1.0 - smoothstep(0.55, 1.0, length(uv * 2.0 - 1.0)));
    if (particleAlpha <= 0.004) discard;
    outColour = vec4(linear, particleAlpha);
}

// The software driver runs every instruction below at every pixel, branches that no pixel of a block
// takes included; only the pipelines' specialisation (SURFACES, MINING_SHOWN, PLAIN) leaves code out.
void main() {
    vec2 inUv = inUvLight.xy;
    vec2 inLight = inUvLight.zw;
    // The chunk passes decode one channel of their grey brightness: the same value, at a third of the
    // cost.
    vec3 inBrightness = brightness();
    float inSurface = openSurface();
    uint kind = SURFACES == 1u ? SURFACE_TEXTURED : (SURFACES == 2u ? SURFACE_WATER : surfaceRectKind(inSurfaceRect));
    vec3 linear = srgbToLinear(inBrightness);
    if (kind == SURFACE_PARTICLE) {
        shadeParticle(linear);
        return;
    }
    vec3 light = lightColour(inLight, world.light.x);
    // One texture fetch shared by every kind; a second one in a branch measured slower. The open
    // water surface drifts with the animation clock.
    float t = world.animationSeconds;
    vec2 drift = inSurface > 0.5 ? vec2(t * 0.035, t * 0.021) : vec2(0.0);
    bool isWater = kind == SURFACE_WATER;
    vec4 texel = materialTexel(isWater ? fract(inUv + drift) : inUv);
    vec3 colour = kind == SURFACE_UNSHADED_COLOUR ? linear : linear * light;
    if (kind == SURFACE_TEXTURED) {
        // Leaves, plants and skins cut out their transparent texels.
        if (!PLAIN && texel.a < 0.5) discard;
        colour = texel.rgb * linear * light;
        if (MINING_SHOWN && !CHUNK_PASSES) colour *= miningShade(inWorld);
    }
    // Water takes the brightness as it is.
    if (isWater) colour = texel.rgb * inBrightness * light + inSurface * 0.08 * clamp(world.light.x, 0.0, 1.0);
    // Fogged water turns opaque, so that nothing shows through the open sides of the window's water.
    float fog = fogAmount();
    float alpha = isWater ? WATER_ALPHA : 1.0;
    if (fog > 0.0) {
        colour = mix(colour, horizonColour(sunSine()), fog);
        alpha = isWater ? mix(WATER_ALPHA, 1.0, fog) : 1.0;
    }
    outColour = vec4(colour, alpha);
}
