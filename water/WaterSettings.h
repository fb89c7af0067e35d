// SPDX-License-Identifier: MIT
// What a person may tune of the water while the scene runs: the waves' drift, how far they bend
// the images, how the water's body dims the terrain under it, its reflectance and the sun's glint.
// The defaults are the values of CG/FP_WaterPlane.cg and of the underwater pair's constants.
#pragma once

#include "shader/UniformSetting.h"

struct WaterSettings
{
    // Drift of the two wave layers per unit of time, in wave-map units.
    float waveSpeed0X = 0.04f;
    float waveSpeed0Y = 0.055f;
    float waveSpeed1X = -0.025f;
    float waveSpeed1Y = 0.02f;
    // Screen-space shift of the image lookups for a unit slope one unit away from the eye.
    float distortionStrength = 6.0f;
    // Absorption per unit of depth for red, green and blue, and the extinction of all alike.
    float absorptionRed = 0.2f;
    float absorptionGreen = 0.2f;
    float absorptionBlue = 0.01f;
    float fadingScale = 0.05f;
    // Fresnel reflectance head-on (Schlick's F0).
    float reflectanceHeadOn = 0.02f;
    float sunIntensity = 40.0f;
    float sunShininess = 350.0f;
};

inline constexpr UniformSetting<WaterSettings> WaterSettingFields[] = {
    {"water.wave_speed0_x", &WaterSettings::waveSpeed0X, -0.5f, 0.5f},
    {"water.wave_speed0_y", &WaterSettings::waveSpeed0Y, -0.5f, 0.5f},
    {"water.wave_speed1_x", &WaterSettings::waveSpeed1X, -0.5f, 0.5f},
    {"water.wave_speed1_y", &WaterSettings::waveSpeed1Y, -0.5f, 0.5f},
    {"water.distortion_strength", &WaterSettings::distortionStrength, 0.0f, 30.0f},
    {"water.absorption_red", &WaterSettings::absorptionRed, 0.0f, 1.0f},
    {"water.absorption_green", &WaterSettings::absorptionGreen, 0.0f, 1.0f},
    {"water.absorption_blue", &WaterSettings::absorptionBlue, 0.0f, 1.0f},
    {"water.fading_scale", &WaterSettings::fadingScale, 0.0f, 0.5f},
    {"water.reflectance_head_on", &WaterSettings::reflectanceHeadOn, 0.0f, 1.0f},
    {"water.sun_intensity", &WaterSettings::sunIntensity, 0.0f, 200.0f},
    {"water.sun_shininess", &WaterSettings::sunShininess, 1.0f, 2000.0f},
};
