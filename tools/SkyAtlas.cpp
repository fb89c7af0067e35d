// SPDX-License-Identifier: MIT
#include "SkyAtlas.h"

#include "SkyShading.h"
#include "Vec3.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr int AtlasWidth = 768;
constexpr int AtlasHeight = 1024;

// The scene draws the sky box under the terrain's scale of 5 in x and z, so the cube is seen as
// a flat box; shading the scaled direction keeps the sun round and the horizon level.
constexpr float SceneScaleXZ = 5.0f;

struct AtlasVertex
{
    float s;
    float t;
    Vec3 position;
};

// The first three vertices of a face's strip: the second differs from the first in s only, the
// third in t only.
struct Face
{
    AtlasVertex origin;
    AtlasVertex alongS;
    AtlasVertex alongT;
};

// As the sky box draws its faces, on a cube from -1 to 1: top, bottom, z = min, z = max, x = min,
// x = max. The column bounds are the floats 0.33 and 0.66, not thirds.
const Face Faces[] = {
    {{0.33f, 1.0f, {-1, 1, -1}}, {0.66f, 1.0f, {1, 1, -1}}, {0.33f, 0.75f, {-1, 1, 1}}},
    {{0.33f, 0.5f, {-1, -1, -1}}, {0.66f, 0.5f, {1, -1, -1}}, {0.33f, 0.25f, {-1, -1, 1}}},
    {{0.0f, 0.75f, {1, 1, -1}}, {0.33f, 0.75f, {-1, 1, -1}}, {0.0f, 0.5f, {1, -1, -1}}},
    {{0.66f, 0.75f, {-1, 1, 1}}, {1.0f, 0.75f, {1, 1, 1}}, {0.66f, 0.5f, {-1, -1, 1}}},
    {{0.33f, 0.75f, {-1, 1, -1}}, {0.66f, 0.75f, {-1, 1, 1}}, {0.33f, 0.5f, {-1, -1, -1}}},
    {{0.33f, 0.25f, {1, -1, -1}}, {0.66f, 0.25f, {1, -1, 1}}, {0.33f, 0.0f, {1, 1, -1}}},
};

// How far (s, t) lies outside the face's cell, in texels.
float DistanceToCell(const Face& face, float s, float t)
{
    const auto outside = [](float value, float a, float b, float texels) {
        return std::max({std::min(a, b) - value, value - std::max(a, b), 0.0f}) * texels;
    };
    const float across = outside(s, face.origin.s, face.alongS.s, AtlasWidth);
    const float up = outside(t, face.origin.t, face.alongT.t, AtlasHeight);
    return std::hypot(across, up);
}

// Texels of the unused corners of the cross belong to the nearest face: linear filtering at a
// cell's border then blends in that face's own continuation.
const Face& NearestFace(float s, float t)
{
    const Face* nearest = &Faces[0];
    float nearestDistance = std::numeric_limits<float>::max();
    for (const Face& face : Faces)
    {
        const float distance = DistanceToCell(face, s, t);
        if (distance < nearestDistance)
        {
            nearest = &face;
            nearestDistance = distance;
        }
    }
    return *nearest;
}

Vec3 PointOnFace(const Face& face, float s, float t)
{
    const float a = (s - face.origin.s) / (face.alongS.s - face.origin.s);
    const float b = (t - face.origin.t) / (face.alongT.t - face.origin.t);
    return face.origin.position + (face.alongS.position - face.origin.position) * a +
           (face.alongT.position - face.origin.position) * b;
}

Vec3 ViewDirection(float s, float t)
{
    const Vec3 point = PointOnFace(NearestFace(s, t), s, t);
    return Normalised({point.x * SceneScaleXZ, point.y, point.z * SceneScaleXZ});
}
}

Picture MakeSkyAtlas()
{
    Picture picture(AtlasWidth, AtlasHeight);
    for (int y = 0; y < AtlasHeight; ++y)
    {
        for (int x = 0; x < AtlasWidth; ++x)
        {
            const float s = (x + 0.5f) / AtlasWidth;
            const float t = (y + 0.5f) / AtlasHeight;
            picture.Set(x, y, SkyColour(ViewDirection(s, t)));
        }
    }
    return picture;
}
