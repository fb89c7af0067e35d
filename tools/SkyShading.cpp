// SPDX-License-Identifier: MIT
#include "SkyShading.h"

#include "Noise.h"

#include <cmath>

namespace
{
const Colour Zenith{0.16f, 0.34f, 0.70f};
const Colour Horizon{0.72f, 0.81f, 0.90f};
const Colour SeaHaze{0.50f, 0.60f, 0.66f};
const Colour DeepBelow{0.17f, 0.25f, 0.30f};
const Colour SunGlow{1.0f, 0.90f, 0.72f};
const Colour SunDisc{1.0f, 0.99f, 0.95f};
const Colour CloudLit{0.98f, 0.97f, 0.95f};
const Colour CloudShade{0.66f, 0.70f, 0.78f};

// 25 degrees above the horizon, towards -x and a little towards -z.
const Vec3 SunDirection = Normalised({-0.85f, 0.4663f, -0.31f});
constexpr float SunRadius = 0.035f; // radians, about two degrees

Colour DomeColour(float height)
{
    return Mix(Horizon, Zenith, std::pow(Clamp01(height), 0.55f));
}

Colour BelowColour(float depth)
{
    return Mix(SeaHaze, DeepBelow, Smoothstep(0.0f, 0.35f, depth));
}

// Clouds lie on a layer above the scene: a direction meets it further away the lower it looks,
// so clouds shrink and thin out towards the horizon.
float CloudCover(const Vec3& direction)
{
    const float distance = 1.0f / (direction.y + 0.12f);
    const Vec3 onLayer{direction.x * distance * 1.6f, 0.7f, direction.z * distance * 1.6f};
    const float density = Fbm(onLayer, 6, 77);
    return Smoothstep(0.02f, 0.32f, density) * Smoothstep(0.02f, 0.2f, direction.y);
}

Colour WithSun(const Colour& sky, const Vec3& direction)
{
    const float angle = std::acos(std::fmin(1.0f, Dot(direction, SunDirection)));
    const float disc = 1.0f - Smoothstep(SunRadius * 0.8f, SunRadius, angle);
    const float glow = 0.55f * std::exp(-angle / 0.12f) + 0.25f * std::exp(-angle / 0.5f);
    return Mix(sky + SunGlow * glow, SunDisc, disc);
}

Colour WithClouds(const Colour& sky, const Vec3& direction)
{
    const float cover = CloudCover(direction);
    const float towardsSun = Clamp01(Dot(direction, SunDirection));
    const Colour cloud = Mix(CloudShade, CloudLit, 0.35f + 0.65f * towardsSun * towardsSun);
    return Mix(sky, cloud, 0.85f * cover);
}
}

Colour SkyColour(const Vec3& direction)
{
    if (direction.y < 0.0f)
        return BelowColour(-direction.y);
    return WithClouds(WithSun(DomeColour(direction.y), direction), direction);
}
