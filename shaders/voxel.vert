#version 450
#extension GL_GOOGLE_include_directive : require
// Chunk meshes, models, dynamic geometry, water and particles: world-space vertices, with the open
// water surface and wind-animated blocks moved by the animation clock.
#include "pipeline_constants.glsl"
#include "world_block.glsl"
#include "meta.glsl"
#include "world_surface.glsl"

layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inBrightness;
layout(location = 2) in vec3 inTexture;  // u, v, texture layer or material code
layout(location = 3) in vec2 inLight;    // sky, block (a particle's opacity in sky)
layout(location = 4) in float inMotion;  // 0 still, 1 open water surface, -(id + 1 + weight) wind

// Few interpolants: the software driver's triangle set-up, which runs on one thread, pays for every
// one of them. The chunks' own pipelines set CHUNK_PASSES: chunk meshes carry a grey brightness and
// those passes show no mining speckles, so the brightness, the horizontal position the fog needs and
// the open-water flag share one interpolant, and outWorld, never written, is dropped when the driver
// links the stages.
CONSTANT_ID(3) const bool CHUNK_PASSES = false;
layout(location = 0) out vec4 outUvLight;  // texture u, v; sky and block light
// Brightness and 1 on the open water surface; with CHUNK_PASSES brightness, world x, world z, surface.
layout(location = 1) out vec4 outBrightnessSurface;
layout(location = 2) out vec3 outWorld;
// The kind of surface and the material's atlas rectangle (surfaceRect), decided here once a vertex:
// the software driver reads the meta buffer lane by lane in a fragment shader.
layout(location = 3) flat out vec4 outSurfaceRect;

// Two crossing swells; the surface only sinks, so it never rises through the bank.
float waveDrop(vec2 p, float t) {
    float a = sin(p.x * 1.3 + t * 1.7) + sin(p.y * 1.1 - t * 1.3);
    float b = sin((p.x + p.y) * 2.1 + t * 2.3);
    return 0.045 * (a * 0.25 + 0.5) + 0.015 * (b * 0.5 + 0.5);
}

// Sway of a wind-animated block. The phase depends on the position only, so corners that touch
// move together and the foliage does not tear.
vec3 windOffset(vec3 p, float motion, float t) {
    float m = -motion;
    float idPlusOne = floor(m);
    float weight = m - idPlusOne;
    uint id = uint(clamp(idPlusOne - 1.0, 0.0, 255.0));
    float strength = metaFloat(META_WIND + 2u * id);
    float speed = metaFloat(META_WIND + 2u * id + 1u);
    float phase = t * speed * 2.0 + p.x * 0.7 + p.z * 0.45 + p.y * 0.3;
    float gust = 0.75 + 0.25 * sin(t * speed * 0.37 + p.x * 0.05);
    return vec3(sin(phase), 0.0, cos(phase * 0.83 + 1.1) * 0.6) * strength * weight * gust;
}

// Which surfaces the pipeline draws, as in voxel.frag: the chunks' solid faces (1) sway in the wind
// but never lie on the open water surface, water (2) does not sway. The driver runs both branches
// below for every vertex unless the specialisation leaves one out.
CONSTANT_ID(0) const uint SURFACES = 0u;
// The chunks' plain triangles (voxel.frag) never sway.
CONSTANT_ID(2) const bool PLAIN = false;
const bool WAVES = SURFACES != 1u;
const bool WIND = SURFACES != 2u && !PLAIN;

// An opaque screen hides the world this frame: every vertex goes to one point outside the view, so
// no triangle reaches the rasteriser and no pixel is shaded behind the screen.
const vec4 OUT_OF_VIEW = vec4(-2.0, -2.0, -2.0, 1.0);

void main() {
    if (world.worldCovered != 0u) {
        gl_Position = OUT_OF_VIEW;
        return;
    }
    vec3 p = inPosition;
    float t = world.animationSeconds;
    float surface = 0.0;
    if (WAVES && inMotion > 0.5) {
        p.y -= waveDrop(p.xz, t);
        surface = 1.0;
    } else if (WIND && inMotion < -0.5) {
        p += windOffset(p, inMotion, t);
    }
    gl_Position = world.camera * vec4(p, 1.0);
    outUvLight = vec4(inTexture.xy, inLight);
    if (CHUNK_PASSES) {
        outBrightnessSurface = vec4(inBrightness.r, p.x, p.z, surface);
    } else {
        outBrightnessSurface = vec4(inBrightness, surface);
        outWorld = p;
    }
    uint material = surfaceMaterial(inTexture.z);
    vec4 rect = materialRect(material);
    // A plain triangle is a textured face of a block layer, so the kind needs no working out.
    outSurfaceRect = PLAIN ? (rect.z <= 0.0 ? vec4(0.0) : rect) : surfaceRect(surfaceKind(inTexture.z, material), rect);
}
