// SPDX-License-Identifier: MIT
// A value that a program reads as a uniform and a person may tune while the scene runs: its name
// (in the settings file and the inspector), where it lives in its settings struct, and the range
// in which the picture stays sound. A settings struct's default values are the programs' own.
#pragma once

#include <cstddef>

template <typename Settings>
struct UniformSetting
{
    const char* name;
    float Settings::*value;
    float minimum;
    float maximum;
};

// Whether every listed value of `a` equals that of `b`: the settings need writing into the
// programs only when this is false.
template <typename Settings, std::size_t Count>
bool SameValues(const Settings& a, const Settings& b, const UniformSetting<Settings> (&fields)[Count])
{
    for (const UniformSetting<Settings>& field : fields)
    {
        if (a.*field.value != b.*field.value)
            return false;
    }
    return true;
}
