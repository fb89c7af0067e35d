// SPDX-License-Identifier: MIT
#include "scene/BmpLoader.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{
using ImagePointer = std::unique_ptr<RGBImage, decltype(&FreeRGBImage)>;

ImagePointer LoadRunImage(const std::string& name)
{
    return ImagePointer(LoadBMPImage((std::string(MERROWIND_RUN_DIR) + "/" + name).c_str()), &FreeRGBImage);
}

// Channel `channel` of the pixel at (x, y), wrapping around the edges as a repeating texture does.
int At(const RGBImage& image, int x, int y, int channel)
{
    const int wrappedX = (x % image.width + image.width) % image.width;
    const int wrappedY = (y % image.height + image.height) % image.height;
    return image.data[(static_cast<std::size_t>(wrappedY) * image.width + wrappedX) * 3 + channel];
}

int ChannelDifference(const RGBImage& image, int x0, int y0, int x1, int y1)
{
    int largest = 0;
    for (int channel = 0; channel < 3; ++channel)
        largest = std::max(largest, std::abs(At(image, x0, y0, channel) - At(image, x1, y1, channel)));
    return largest;
}

// Mean difference between column x and the next one (with x = width - 1 the wrap-around seam).
double ColumnStep(const RGBImage& image, int x)
{
    double sum = 0.0;
    for (int y = 0; y < image.height; ++y)
        sum += ChannelDifference(image, x, y, x + 1, y);
    return sum / image.height;
}

double RowStep(const RGBImage& image, int y)
{
    double sum = 0.0;
    for (int x = 0; x < image.width; ++x)
        sum += ChannelDifference(image, x, y, x, y + 1);
    return sum / image.width;
}

// A corner of a sky-box strip: texture coordinate and position on a cube from -1 to 1.
struct Corner
{
    float s;
    float t;
    std::array<float, 3> position;
};

// The first three corners of each face as the sky box draws it: top, bottom, z = min, z = max,
// x = min, x = max. The second corner differs from the first in s, the third in t.
const std::array<std::array<Corner, 3>, 6> SkyFaces{{
    {{{0.33f, 1.0f, {-1, 1, -1}}, {0.66f, 1.0f, {1, 1, -1}}, {0.33f, 0.75f, {-1, 1, 1}}}},
    {{{0.33f, 0.5f, {-1, -1, -1}}, {0.66f, 0.5f, {1, -1, -1}}, {0.33f, 0.25f, {-1, -1, 1}}}},
    {{{0.0f, 0.75f, {1, 1, -1}}, {0.33f, 0.75f, {-1, 1, -1}}, {0.0f, 0.5f, {1, -1, -1}}}},
    {{{0.66f, 0.75f, {-1, 1, 1}}, {1.0f, 0.75f, {1, 1, 1}}, {0.66f, 0.5f, {-1, -1, 1}}}},
    {{{0.33f, 0.75f, {-1, 1, -1}}, {0.66f, 0.75f, {-1, 1, 1}}, {0.33f, 0.5f, {-1, -1, -1}}}},
    {{{0.33f, 0.25f, {1, -1, -1}}, {0.66f, 0.25f, {1, -1, 1}}, {0.33f, 0.0f, {1, 1, -1}}}},
}};

// The axis that is constant over a face, and its value there.
std::pair<int, float> Plane(const std::array<Corner, 3>& face)
{
    for (int axis = 0; axis < 3; ++axis)
    {
        if (face[0].position[axis] == face[1].position[axis] && face[0].position[axis] == face[2].position[axis])
            return {axis, face[0].position[axis]};
    }
    return {-1, 0.0f};
}

// The texel of the atlas that the face shows at `point`, a point of the face.
std::pair<int, int> TexelAt(const RGBImage& atlas, const std::array<Corner, 3>& face, const std::array<float, 3>& point)
{
    float alongS = 0.0f, lengthS = 0.0f, alongT = 0.0f, lengthT = 0.0f;
    for (int axis = 0; axis < 3; ++axis)
    {
        const float edgeS = face[1].position[axis] - face[0].position[axis];
        const float edgeT = face[2].position[axis] - face[0].position[axis];
        const float offset = point[axis] - face[0].position[axis];
        alongS += offset * edgeS;
        lengthS += edgeS * edgeS;
        alongT += offset * edgeT;
        lengthT += edgeT * edgeT;
    }
    const float s = face[0].s + alongS / lengthS * (face[1].s - face[0].s);
    const float t = face[0].t + alongT / lengthT * (face[2].t - face[0].t);
    return {static_cast<int>(std::floor(s * atlas.width)), static_cast<int>(std::floor(t * atlas.height))};
}

// Where the edge shared by faces a and b runs, a point `along` it (-1..1), moved `inset` into face a.
std::array<float, 3> PointNearEdge(std::pair<int, float> a, std::pair<int, float> b, float along, float inset)
{
    std::array<float, 3> point{};
    point[a.first] = a.second;
    point[b.first] = b.second - std::copysign(inset, b.second);
    point[3 - a.first - b.first] = along;
    return point;
}
}

TEST(AssetImages, AllSixDecodeWithTheirSizes)
{
    for (const char* name : {"TerrainMaterial.bmp", "norm.bmp", "heigth.bmp", "norm1.bmp", "height1.bmp"})
    {
        const ImagePointer image = LoadRunImage(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->width, 512) << name;
        EXPECT_EQ(image->height, 512) << name;
    }
    const ImagePointer sky = LoadRunImage("skybox.bmp");
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(sky->width, 768);
    EXPECT_EQ(sky->height, 1024);
}

TEST(AssetImages, TexturesRepeatWithoutSeams)
{
    for (const char* name : {"TerrainMaterial.bmp", "norm.bmp", "heigth.bmp", "norm1.bmp", "height1.bmp"})
    {
        const ImagePointer image = LoadRunImage(name);
        ASSERT_NE(image, nullptr) << name;
        double columns = 0.0, rows = 0.0;
        for (int step = 0; step < 511; ++step)
        {
            columns += ColumnStep(*image, step) / 511;
            rows += RowStep(*image, step) / 511;
        }
        EXPECT_LT(ColumnStep(*image, 511), 2.0 * columns + 1.0) << name;
        EXPECT_LT(RowStep(*image, 511), 2.0 * rows + 1.0) << name;
    }
}

TEST(AssetImages, NormalMapsLeanAwayFromTheSlopesOfTheirHeightMaps)
{
    for (const auto& [normals, heights] : {std::pair{"norm.bmp", "heigth.bmp"}, std::pair{"norm1.bmp", "height1.bmp"}})
    {
        const ImagePointer normal = LoadRunImage(normals);
        const ImagePointer height = LoadRunImage(heights);
        ASSERT_TRUE(normal && height);
        int steep = 0, agreeing = 0;
        for (int y = 0; y < 512; ++y)
        {
            for (int x = 0; x < 512; ++x)
            {
                EXPECT_GT(At(*normal, x, y, 2), 128) << normals << " has a normal that does not face up";
                const int slopes[2] = {At(*height, x + 1, y, 0) - At(*height, x - 1, y, 0),
                                       At(*height, x, y + 1, 0) - At(*height, x, y - 1, 0)};
                for (int axis = 0; axis < 2; ++axis)
                {
                    if (std::abs(slopes[axis]) < 4)
                        continue;
                    ++steep;
                    agreeing += (At(*normal, x, y, axis) - 128 < 0) == (slopes[axis] > 0);
                }
            }
        }
        EXPECT_GT(steep, 10000) << heights;
        EXPECT_GT(agreeing, 0.97 * steep) << normals;
    }
}

// Near every point of every edge of the cube, the two faces that meet there show the same sky.
TEST(AssetImages, SkyFacesMeetAtEveryCubeEdge)
{
    const ImagePointer atlas = LoadRunImage("skybox.bmp");
    ASSERT_NE(atlas, nullptr);
    constexpr float Inset = 0.004f; // half a texel
    int edges = 0;
    for (std::size_t a = 0; a < SkyFaces.size(); ++a)
    {
        for (std::size_t b = a + 1; b < SkyFaces.size(); ++b)
        {
            const auto planeA = Plane(SkyFaces[a]);
            const auto planeB = Plane(SkyFaces[b]);
            if (planeA.first == planeB.first)
                continue;
            ++edges;
            double sum = 0.0;
            int samples = 0;
            for (float along = -0.95f; along <= 0.95f; along += 0.01f, ++samples)
            {
                const auto [xa, ya] = TexelAt(*atlas, SkyFaces[a], PointNearEdge(planeA, planeB, along, Inset));
                const auto [xb, yb] = TexelAt(*atlas, SkyFaces[b], PointNearEdge(planeB, planeA, along, Inset));
                const int difference = ChannelDifference(*atlas, xa, ya, xb, yb);
                EXPECT_LE(difference, 24) << "faces " << a << " and " << b << " at " << along;
                sum += difference;
            }
            EXPECT_LT(sum / samples, 3.0) << "faces " << a << " and " << b;
        }
    }
    EXPECT_EQ(edges, 12);
}
