// SPDX-License-Identifier: MIT
// What a person may tune of the HDR chain while the scene runs. The defaults are the values of
// CG/HDR_FX.cgfx.
#pragma once

#include "shader/UniformSetting.h"

struct HdrSettings
{
    // The exposure = key x exposure over the adapted luminance (see the effect's ExposedQuad).
    float exposure = 0.75f;
    float key = 0.3f;
    // Luminance, in the scene's own units, above which a colour blooms.
    float brightPassThreshold = 1.5f;
    // How fast the eye adapts per unit of the chain's time.
    float adaptationRate = 0.2f;
    // The bloom's weight against the scene in the tone map.
    float bloomStrength = 1.0f;
};

inline constexpr UniformSetting<HdrSettings> HdrSettingFields[] = {
    {"hdr.exposure", &HdrSettings::exposure, 0.05f, 5.0f},
    {"hdr.key", &HdrSettings::key, 0.05f, 1.0f},
    {"hdr.bright_pass_threshold", &HdrSettings::brightPassThreshold, 0.0f, 10.0f},
    {"hdr.adaptation_rate", &HdrSettings::adaptationRate, 0.01f, 5.0f},
    {"hdr.bloom_strength", &HdrSettings::bloomStrength, 0.0f, 5.0f},
};
