// SPDX-License-Identifier: MIT
#include "camera/Vector3.h"

#include <cmath>

namespace
{
// Below this length a direction is taken as no direction at all and left alone.
constexpr float NormalizeThreshold = 0.00001f;
}

float Vector3::Normalize()
{
    float sum = 0.0f;
    sum += x * x;
    sum += y * y;
    sum += z * z;
    const float length = std::sqrt(sum);
    if (length > NormalizeThreshold)
    {
        x /= length;
        y /= length;
        z /= length;
    }
    return length;
}
