// SPDX-License-Identifier: MIT
// A small 3D vector for the generator's directions and noise lattice.
#pragma once

#include <cmath>

struct Vec3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vec3 operator*(const Vec3& v, float scale)
{
    return {v.x * scale, v.y * scale, v.z * scale};
}

inline float Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3 Normalised(const Vec3& v)
{
    return v * (1.0f / std::sqrt(Dot(v, v)));
}
