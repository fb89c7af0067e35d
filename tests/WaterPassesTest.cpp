// SPDX-License-Identifier: MIT
// The reflection, refraction and main scene passes over the real terrain, sky box and programs:
// what each image holds on either side of the water plane and from which camera, how the water
// reads and blends the images (against a camera and Schlick's reflectance worked out here in
// double precision), its edges, the eye it receives, and the state the passes leave.
#include "GlContext.h"

#include "camera/CCamera.h"
#include "camera/ViewState.h"
#include "scene/CSkyBox.h"
#include "scene/CVertexBuffer.h"
#include "scene/Terrain.h"
#include "scene/Textures.h"
#include "shader/CShaderContext.h"
#include "water/CRenderTexture.h"
#include "water/MainScenePass.h"
#include "water/ReflectionPass.h"
#include "water/RefractionPass.h"
#include "water/TerrainTransform.h"
#include "water/WaterPrograms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>

namespace
{
constexpr int ImageSize = 1024;

// The terrain, its textures, the sky box and the render target, made once for the whole run.
void StartWaterScene()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    RenderTexture.Create(ImageSize, ImageSize);
    std::vector<float> positions(TerrainVertexCount * 3);
    std::vector<float> texCoords(TerrainVertexCount * 2);
    GenerateTerrain(positions.data(), texCoords.data());
    TerrainMesh.Generate();
    TerrainMesh.Create(TerrainVertexCount, positions.data(), TerrainPositionBytes, texCoords.data(),
                       TerrainTexCoordBytes);
    CreateWaterGrid();
    LoadTextures();
    SkyBox.Load();
    SkyBox.SetSize(1500.0f);
}

// A texture one texel wide, from RGBA rows given bottom first.
GLuint MakeTexture(std::vector<unsigned char> rgbaRows)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, static_cast<GLsizei>(rgbaRows.size() / 4), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgbaRows.data());
    return texture;
}

// How many texels of the 1024 x 1024 image satisfy `matches`.
template <typename Matches>
int CountTexels(GLuint texture, Matches matches)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(ImageSize) * ImageSize * 4);
    WaitForRendering();
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int count = 0;
    for (size_t texel = 0; texel < rgba.size(); texel += 4)
        count += matches(rgba[texel], rgba[texel + 1], rgba[texel + 2]) ? 1 : 0;
    return count;
}

// The terrain as the above-water programs draw it: its material, here pure red.
bool IsTerrain(int r, int g, int b)
{
    return r > 200 && g < 40 && b < 40;
}

bool IsClearWhite(int r, int g, int b)
{
    return r == 255 && g == 255 && b == 255;
}

// Fills one of the water's 1024 x 1024 images in place, so it keeps its own wrap modes, with
// `texel`(x, y) as RGBA, y counted from the bottom.
void FillImage(GLuint texture, const std::function<std::array<unsigned char, 4>(int, int)>& texel)
{
    std::vector<unsigned char> rgba;
    rgba.reserve(static_cast<size_t>(ImageSize) * ImageSize * 4);
    for (int y = 0; y < ImageSize; ++y)
        for (int x = 0; x < ImageSize; ++x)
            for (unsigned char channel : texel(x, y))
                rgba.push_back(channel);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, ImageSize, ImageSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Deep terrain of one grey under the whole surface: alpha 0 lets the waves bend the view freely.
std::array<unsigned char, 4> DeepGrey(int, int)
{
    return {128, 128, 128, 0};
}

// A camera looking from `eye` towards `target` with +y up, as gluLookAt builds it, and the
// one perspective of every view (45 degrees vertically, aspect 640 : 480), in double precision.
struct CameraModel
{
    using Vector = std::array<double, 3>;
    Vector eye, forward, side, up;

    CameraModel(const Vector3& from, const Vector3& towards)
        : eye{from.x, from.y, from.z}
    {
        const Vector ahead = {towards.x - eye[0], towards.y - eye[1], towards.z - eye[2]};
        forward = Scaled(ahead, 1.0 / std::sqrt(Dot(ahead, ahead)));
        side = Scaled(Vector{-forward[2], 0.0, forward[0]}, 1.0 / std::hypot(forward[0], forward[2]));
        up = {side[1] * forward[2] - side[2] * forward[1], side[2] * forward[0] - side[0] * forward[2],
              side[0] * forward[1] - side[1] * forward[0]};
    }

    // Where `point` lands across and up the view, each from 0 to 1.
    std::array<double, 2> Spot(const Vector& point) const
    {
        const Vector offset = {point[0] - eye[0], point[1] - eye[1], point[2] - eye[2]};
        const double depth = Dot(offset, forward);
        return {0.5 + 0.5 * Dot(offset, side) / (depth * HalfHeight * 640.0 / 480.0),
                0.5 + 0.5 * Dot(offset, up) / (depth * HalfHeight)};
    }

    // The cosine between the water's up direction and the way towards the eye, for the ray
    // through the centre of window pixel (x, y).
    double CosineTowardsEye(int x, int y) const
    {
        const double across = ((x + 0.5) / 320.0 - 1.0) * HalfHeight * 640.0 / 480.0;
        const double along = ((y + 0.5) / 240.0 - 1.0) * HalfHeight;
        Vector ray;
        for (int k = 0; k < 3; ++k)
            ray[k] = forward[k] + side[k] * across + up[k] * along;
        return -ray[1] / std::sqrt(Dot(ray, ray));
    }

    static double Dot(const Vector& a, const Vector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
    static Vector Scaled(const Vector& a, double by) { return {a[0] * by, a[1] * by, a[2] * by}; }
    static constexpr double HalfHeight = 0.41421356237309503;  // tan(22.5 degrees)
};

// Schlick's approximation for water (reflectance 0.02 head-on).
double WaterReflectance(double cosine)
{
    return 0.02 + 0.98 * std::pow(1.0 - cosine, 5.0);
}

void RenderWaterImages(const Vector3& eye, const Vector3& target)
{
    Camera.position = eye;
    Camera.target = target;
    RenderReflectionPass();
    RenderRefractionPass();
}
}

class WaterPasses : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(MERROWIND_RUN_DIR);
        StartWaterScene();
        CreateShaderContext();
        std::filesystem::current_path(previous);
        material = MakeTexture({255, 0, 0, 255});
        std::swap(TerrainMaterialTexture, material);
        Camera.Reset();
        glEnable(GL_DEPTH_TEST);
    }

    void TearDown() override
    {
        DestroyShaderContext();
        std::swap(TerrainMaterialTexture, material);
        glDeleteTextures(1, &material);
        glDisable(GL_DEPTH_TEST);
        GlTest::TearDown();
    }

    // Draws the main scene from `eye` towards `target` over the images as they are, into the window.
    static void RenderMainSceneFrom(const Vector3& eye, const Vector3& target)
    {
        Camera.position = eye;
        Camera.target = target;
        glViewport(0, 0, 640, 480);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        RenderMainScene();
    }

    GLuint material = 0;
};

TEST_F(WaterPasses, BothPassesLeaveTheWindowBoundWithTheTargetsViewport)
{
    glBindFramebuffer(GL_FRAMEBUFFER, RenderTexture.framebuffer);
    RenderReflectionPass();
    RenderRefractionPass();

    GLint framebuffer = -1, matrixMode = 0, pipeline = -1;
    GLint viewport[4] = {};
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(viewport[2], ImageSize);
    EXPECT_EQ(viewport[3], ImageSize);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    EXPECT_EQ(pipeline, 0);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, OverADrownedHollowOnlyTheRefractionShowsTerrain)
{
    // Everything within 75 units of this hollow lies under water.
    RenderWaterImages(Vector3(-187.5f, 60.0f, -207.5f), Vector3(-187.5f, 0.0f, -187.5f));

    EXPECT_EQ(CountTexels(ReflectionTexture, IsTerrain), 0);
    EXPECT_EQ(CountTexels(RefractionTexture, IsClearWhite), 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, OverAHillOnlyTheReflectionShowsTerrain)
{
    // Everything within 90 units of the central crest lies above the water.
    RenderWaterImages(Vector3(0.0f, 80.0f, -20.0f), Vector3(0.0f, 15.0f, 0.0f));

    EXPECT_GT(CountTexels(ReflectionTexture, IsTerrain), ImageSize * ImageSize / 2);
    EXPECT_EQ(CountTexels(RefractionTexture, IsClearWhite), ImageSize * ImageSize);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, TheReflectionSeesTheHillFromTheCameraMirroredInTheWater)
{
    // From the hollow towards the central crest, along the terrain's diagonal: the mirrored
    // camera, 30 below the water, sees the hill's slope above the water from below, its top
    // edge where the corners on the diagonal rise highest in its view. The camera itself would
    // see the whole hill lower down, with sky there.
    const Vector3 eye(-187.5f, 30.0f, -187.5f), target(0.0f, 10.0f, 0.0f);
    RenderWaterImages(eye, target);
    const CameraModel mirrored(Vector3(eye.x, -eye.y, eye.z), Vector3(target.x, -target.y, target.z));
    double top = 0.0;
    for (int corner = 0; corner <= TerrainExtent; corner += TerrainStep)
    {
        const double world = (corner - TerrainExtent / 2) * static_cast<double>(TerrainScale);
        const double height = TerrainHeight(corner, corner);
        if (height > 0.0 && world > eye.x)
            top = std::max(top, mirrored.Spot({world, height, world})[1]);
    }
    std::vector<unsigned char> rgba(static_cast<size_t>(ImageSize) * ImageSize * 4);
    glBindTexture(GL_TEXTURE_2D, ReflectionTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const auto terrainAt = [&](int row)
    {
        const size_t texel = (static_cast<size_t>(row) * ImageSize + ImageSize / 2) * 4;
        return IsTerrain(rgba[texel], rgba[texel + 1], rgba[texel + 2]);
    };
    const int row = static_cast<int>(top * ImageSize);

    EXPECT_TRUE(terrainAt(row - 16)) << "just under the top edge, row " << row;
    EXPECT_FALSE(terrainAt(row + 16)) << "just over the top edge, row " << row;
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, WaterReadsTheReflectionImageUpsideDownAtItsOwnScreenSpot)
{
    // The mirrored camera sees a point of the water plane where the normal camera sees it, but
    // upside down: water low on the screen shows the top of the reflection image (red).
    GLuint bottomGreenTopRed = MakeTexture({0, 255, 0, 255, 255, 0, 0, 255});
    GLuint clearOnly = MakeTexture({255, 255, 255, 255});  // nothing under the water: reflection alone
    std::swap(ReflectionTexture, bottomGreenTopRed);
    std::swap(RefractionTexture, clearOnly);
    // Over a drowned hollow, looking along +z, away from the sun.
    Camera.position = Vector3(-187.5f, 25.0f, -187.5f);
    Camera.target = Vector3(-187.5f, 10.0f, -87.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    RenderMainScene();
    const std::vector<unsigned char> water = ReadPixels(320, 10, 1, 1);
    std::swap(ReflectionTexture, bottomGreenTopRed);
    std::swap(RefractionTexture, clearOnly);
    glDeleteTextures(1, &bottomGreenTopRed);
    glDeleteTextures(1, &clearOnly);

    EXPECT_GT(water[0], 200);
    EXPECT_LT(water[1], 60);
    EXPECT_NO_GL_ERROR();
}

// Waves that lean towards +x bend the view of the reflection towards +x, as a mirror tilted that
// way would. Looking along -z, +x is to the right: the water shows the part of the image right of
// its own spot, and the edge between the image's dark left half and bright right half moves left
// by the shift the water's program makes of the slope. Seen from close by, nothing calms it.
TEST_F(WaterPasses, WavesLeaningOneWayBendTheReflectionThatWay)
{
    FillImage(ReflectionTexture, [](int x, int) -> std::array<unsigned char, 4>
              {
                  const unsigned char level = x < ImageSize / 2 ? 0 : 255;
                  return {level, level, level, 255};
              });
    // Nothing under the water: the reflection alone.
    FillImage(RefractionTexture, [](int, int) -> std::array<unsigned char, 4> { return {255, 255, 255, 255}; });
    const Vector3 eye(-187.5f, 12.0f, -180.0f), target(-187.5f, 0.0f, -186.0f);
    const CameraModel camera(eye, target);
    constexpr int Row = 240;
    // The ray through the row meets the water at this depth along the view.
    const double depth = eye.y / -(camera.forward[1] + camera.up[1] * ((Row + 0.5) / 240.0 - 1.0) * CameraModel::HalfHeight);
    const struct
    {
        const char* name;
        std::array<unsigned char, 3> normal;  // of both wave maps, in tangent space
    } leans[] = {{"flat", {128, 128, 255}}, {"towards +x", {191, 128, 191}}};
    std::array<GLuint*, 4> maps = {&NormalTexture0, &NormalTexture1, &HeightTexture0, &HeightTexture1};
    std::array<GLuint, 4> saved = {};
    for (size_t k = 0; k < maps.size(); ++k)
        saved[k] = *maps[k];
    GLuint height = MakeTexture({128, 128, 128, 255});
    for (const auto& lean : leans)
    {
        SCOPED_TRACE(lean.name);
        GLuint normal = MakeTexture({lean.normal[0], lean.normal[1], lean.normal[2], 255});
        NormalTexture0 = NormalTexture1 = normal;
        HeightTexture0 = HeightTexture1 = height;
        RenderMainSceneFrom(eye, target);
        const std::vector<unsigned char> rgba = ReadPixels(0, Row, 640, 1);
        glDeleteTextures(1, &normal);
        int edge = 0;
        while (edge < 639 && rgba[4 * edge + 1] < 128)
            ++edge;

        // Both layers' slopes add up, calmed to 0.3 of the maps'; the shift grows with the
        // crest's height (0.5 + 0.5 here) and shrinks with depth.
        double n[3];
        for (int k = 0; k < 3; ++k)
            n[k] = lean.normal[k] / 255.0 * 2.0 - 1.0;
        const double slopeX = 2.0 * -n[0] / n[2] * 0.3, slopeZ = 2.0 * -n[1] / n[2] * 0.3;
        const double leanX = -slopeX / std::sqrt(slopeX * slopeX + 1.0 + slopeZ * slopeZ);
        const double crest = 128.0 / 255.0;
        const double shift = leanX * WaterSettings{}.distortionStrength * (0.5 + crest) / (depth + 50.0);
        EXPECT_NEAR(edge, 640.0 * (0.5 - shift), 2.0) << "shift " << shift;
    }
    glDeleteTextures(1, &height);
    for (size_t k = 0; k < maps.size(); ++k)
        *maps[k] = saved[k];
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, TheWaterReceivesTheEyeInItsGridsCoordinates)
{
    // The grid spans the world's -375 to 375 turned by the scene's rotation, so the start eye
    // (100, 100, 0) lies at (475, 100, 375) on it, and at (375, 100, 275) once the scene has
    // turned 90 degrees (the world's +x then runs along the grid's -z).
    const auto eyeReceived = []
    {
        RenderMainScene();
        // The water surface's vertex program is the only live program with an EyePos.
        std::vector<std::array<float, 3>> eyes;
        for (GLuint program = 1; program < 4096; ++program)
        {
            if (glIsProgram(program) == GL_FALSE || glGetUniformLocation(program, "EyePos") < 0)
                continue;
            eyes.emplace_back();
            glGetUniformfv(program, glGetUniformLocation(program, "EyePos"), eyes.back().data());
        }
        EXPECT_EQ(eyes.size(), 1u);
        return eyes.empty() ? std::array<float, 3>{} : eyes.front();
    };
    const float saved = SceneRotation.horizontal;
    const std::array<float, 3> atStart = eyeReceived();
    SceneRotation.horizontal = 90.0f;
    const std::array<float, 3> turned = eyeReceived();
    SceneRotation.horizontal = saved;

    EXPECT_NEAR(atStart[0], 475.0f, 1e-3f);
    EXPECT_NEAR(atStart[1], 100.0f, 1e-3f);
    EXPECT_NEAR(atStart[2], 375.0f, 1e-3f);
    EXPECT_NEAR(turned[0], 375.0f, 1e-3f);
    EXPECT_NEAR(turned[1], 100.0f, 1e-3f);
    EXPECT_NEAR(turned[2], 275.0f, 1e-3f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, AMinimisedWindowOfHeightZeroRendersWithoutFault)
{
    const ClientSize saved = WindowSize;
    WindowSize = ClientSize{640, 0};
    RenderWaterImages(Vector3(100.0f, 100.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f));
    RenderMainScene();
    WindowSize = saved;

    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float value : projection)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_NO_GL_ERROR();
}

// Over the drowned square around (-187.5, -187.5) that all of these views see, with the sun behind.
struct FresnelView
{
    const char* name;
    Vector3 eye;
    Vector3 target;
    int row;  // window row, from the bottom, where the contrast is measured
    // At grazing angles the waves tilt the reflectance's steep curve; seen steeply it is flat,
    // and the contrast is the head-on reflectance to half a level or so.
    double tolerance;
};

TEST_F(WaterPasses, ACheckerboardReflectionShowsWithSchlicksReflectanceForTheViewAngle)
{
    // Squares of 64 texels; the rows measured are moved to the middle of a row of squares, where
    // the pattern alternates along the whole window row.
    FillImage(ReflectionTexture, [](int x, int y) -> std::array<unsigned char, 4>
              {
                  const unsigned char level = ((x / 64 + y / 64) % 2) != 0 ? 255 : 0;
                  return {level, level, level, 255};
              });
    FillImage(RefractionTexture, DeepGrey);
    const FresnelView views[] = {
        {"grazing", Vector3(-187.5f, 8.0f, -280.0f), Vector3(-187.5f, 0.0f, -110.0f), 240, 0.1},
        {"steep", Vector3(-187.5f, 80.0f, -210.0f), Vector3(-187.5f, 0.0f, -170.0f), 240, 0.005},
    };
    for (const FresnelView& view : views)
    {
        SCOPED_TRACE(view.name);
        RenderMainSceneFrom(view.eye, view.target);
        int row = view.row;
        while (std::abs(static_cast<int>((1.0 - (row + 0.5) / 480.0) * ImageSize) % 64 - 32) > 4)
            ++row;
        const std::vector<unsigned char> rgba = ReadPixels(0, row, 640, 1);
        // Window column x reads column 1.6 x of the image, so the squares span 40 pixels each.
        // Their levels: the mean over the pixels either side of the middle; streaks: the largest
        // departure from those levels at least 8 pixels inside a square.
        double sums[2] = {}, counts[2] = {};
        for (int x = 64; x < 576; ++x)
        {
            const int bright = rgba[4 * x + 1] >= 128 ? 1 : 0;
            sums[bright] += rgba[4 * x + 1];
            counts[bright] += 1.0;
        }
        const double levels[2] = {sums[0] / std::max(counts[0], 1.0), sums[1] / std::max(counts[1], 1.0)};
        double streaks = 0.0;
        for (int x = 64; x < 576; ++x)
            if (x % 40 >= 8 && x % 40 < 32)
                streaks = std::max(streaks, std::fabs(rgba[4 * x + 1] - levels[rgba[4 * x + 1] >= 128 ? 1 : 0]));
        const double contrast = (levels[1] - levels[0]) / 255.0;
        const double expected = WaterReflectance(CameraModel(view.eye, view.target).CosineTowardsEye(320, row));
        EXPECT_NEAR(contrast, expected, view.tolerance) << "row " << row;
        if (expected > 0.5)
        {
            EXPECT_GE(contrast, 0.5) << "the reflection must keep at least half its contrast";
            EXPECT_LT(streaks, 25.0) << "far reflections must not be smeared";
        }
        else
            EXPECT_NEAR((levels[0] + levels[1]) / 2.0, 128.0 + expected * (127.5 - 128.0), 8.0)
                << "the refraction must dominate";
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPasses, TheOutermostRowsAndColumnsOfFlatWaterMatchTheirNeighbours)
{
    // The water covers the whole window; both images are flat, so only their edges could show.
    FillImage(ReflectionTexture, [](int, int) -> std::array<unsigned char, 4> { return {200, 200, 200, 255}; });
    FillImage(RefractionTexture, DeepGrey);
    RenderMainSceneFrom(Vector3(-187.5f, 60.0f, -200.0f), Vector3(-187.5f, 0.0f, -170.0f));

    const auto meanGreen = [](int x, int y, int width, int height)
    {
        const std::vector<unsigned char> rgba = ReadPixels(x, y, width, height);
        double sum = 0.0;
        for (size_t k = 1; k < rgba.size(); k += 4)
            sum += rgba[k];
        return sum / (width * height);
    };
    const struct
    {
        const char* edge;
        double outermost;
        double neighbour;
    } edges[] = {
        {"bottom", meanGreen(0, 0, 640, 1), meanGreen(0, 1, 640, 1)},
        {"top", meanGreen(0, 479, 640, 1), meanGreen(0, 478, 640, 1)},
        {"left", meanGreen(0, 0, 1, 480), meanGreen(1, 0, 1, 480)},
        {"right", meanGreen(639, 0, 1, 480), meanGreen(638, 0, 1, 480)},
    };
    for (const auto& edge : edges)
        EXPECT_NEAR(edge.outermost, edge.neighbour, 3.0) << edge.edge;
    EXPECT_NO_GL_ERROR();
}
