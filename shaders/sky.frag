#version 450
#extension GL_GOOGLE_include_directive : require
// The sky behind everything: a gradient from the horizon to the zenith that follows the daylight,
// the sun and the moon on opposite sides, and stars at night.
#include "pipeline_constants.glsl"
#include "colour.glsl"

layout(location = 0) in vec2 inScreen;
layout(location = 1) in vec4 inNear;
layout(location = 2) in vec4 inFar;
layout(location = 4) flat in vec4 inHorizonNight;  // see cross.vert
layout(location = 5) flat in vec3 inZenith;
layout(location = 6) flat in vec3 inSun;

// False for the pipeline of the frames whose daylight hides the stars.
CONSTANT_ID(0) const bool STARS = true;

layout(location = 0) out vec4 outColour;

float disc(vec3 direction, vec3 centre, float radius, float glow) {
    float d = acos(clamp(dot(direction, centre), -1.0, 1.0));
    return (1.0 - smoothstep(radius * 0.85, radius, d)) + glow * exp(-d * 9.0);
}

float stars(vec3 direction) {
    vec2 cell = floor(vec2(atan(direction.z, direction.x) * 180.0, direction.y * 260.0));
    float h = hash12(cell);
    return step(0.9965, h) * (h - 0.9965) / 0.0035;
}

// The sun, the moon and the stars add nothing below the horizon, and the stars nothing by day.
void main() {
    vec3 direction = normalize(inFar.xyz / inFar.w - inNear.xyz / inNear.w);
    // Below the horizon the fog's colour, so that fogged terrain melts into it at the loaded edge.
    vec3 colour = mix(inHorizonNight.rgb, inZenith, smoothstep(0.0, 0.55, direction.y));
    float above = smoothstep(-0.02, 0.04, direction.y);
    if (above > 0.0) {
        vec3 sun = inSun;
        colour += vec3(1.0, 0.86, 0.6) * disc(direction, sun, 0.045, 0.18) * above;
        colour += vec3(0.75, 0.8, 0.9) * disc(direction, -sun, 0.035, 0.03) * above;
        float night = inHorizonNight.a;
        if (STARS && night > 0.0) colour += vec3(stars(direction) * night * above);
    }
    outColour = vec4(colour, 1.0);
}
