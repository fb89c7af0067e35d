// SPDX-License-Identifier: MIT
// Three single-precision floats: points and directions of the scene.
#pragma once

struct Vector3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    explicit Vector3(float all) : x(all), y(all), z(all) {}
    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    // Scales the vector to unit length unless it is (nearly) zero; returns the length it had.
    float Normalize();
};
