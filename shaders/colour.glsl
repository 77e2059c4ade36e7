// Colour helpers shared by the world, sky and interface shaders. The swapchain is sRGB, so every
// shader writes linear colour. The block atlas holds sRGB bytes in a UNORM image, and colours given
// as numbers are meant as they look on screen, so both are decoded first; each shader decodes a
// pixel's values in as few calls as it can, since the software driver runs `pow` lane by lane.

vec3 srgbToLinear(vec3 c) {
    vec3 low = c / 12.92;
    vec3 high = pow((c + 0.055) / 1.055, vec3(2.4));
    return mix(high, low, lessThanEqual(c, vec3(0.04045)));
}

vec4 srgbToLinear(vec4 c) { return vec4(srgbToLinear(c.rgb), c.a); }

const float TAU = 6.2831853;

// The frame's clear colour: the sky straight up.
vec3 zenithColour(float s) {
    float b = clamp(1.35 * s + 0.18, 0.05, 1.0);
    float k = clamp(1.0 - 4.0 * abs(s), 0.0, 1.0);
    return vec3(0.37 * b + 0.012 + 0.15 * k, 0.61 * b + 0.018 + 0.07 * k, 0.8 * b + 0.055);
}

// Paler at the horizon, warmer at dawn and dusk; the fog takes this colour.
vec3 horizonColour(float s) {
    float b = clamp(1.35 * s + 0.18, 0.05, 1.0);
    float k = clamp(1.0 - 4.0 * abs(s), 0.0, 1.0);
    return vec3(0.62 * b + 0.03 + 0.32 * k, 0.72 * b + 0.035 + 0.12 * k, 0.86 * b + 0.06);
}

// The sun rises in the east (+x), stands highest at a quarter of the day and sets in the west.
vec3 sunDirection(float dayFraction) {
    float angle = TAU * dayFraction;
    return normalize(vec3(cos(angle), sin(angle), 0.22));
}

float hash12(vec2 p) {
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}
