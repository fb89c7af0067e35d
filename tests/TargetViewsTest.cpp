// SPDX-License-Identifier: MIT
// The inspector's views on a real context: each shows the contents of its own target, mapped as
// its encoding asks.
#include "GlContext.h"

#include "hdr/CHDRPostProcess.h"
#include "inspector/CViewProgram.h"
#include "inspector/TargetViews.h"
#include "scene/Textures.h"
#include "shader/CShaderContext.h"
#include "water/WaterPrograms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>

namespace
{
using Texel = std::array<float, 4>;

// The first texel of a texture, as floats; a format without alpha reads 1 there.
Texel FirstTexel(GLuint texture)
{
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<float> texels(static_cast<size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return {texels[0], texels[1], texels[2], texels[3]};
}

// What the display program shows of `texel` in `mode` at `scale`, from its documented mapping.
std::array<double, 3> Shown(const Texel& texel, ViewMode mode, double scale)
{
    std::array<double, 3> shown = {texel[0], texel[1], texel[2]};
    if (mode == ViewMode::AlphaAsGrey)
        shown.fill(texel[3]);
    else if (mode == ViewMode::LogLuminanceAsGrey)
        shown.fill(std::exp(static_cast<double>(texel[0])));
    else if (mode == ViewMode::LuminanceAsGrey)
        shown.fill(texel[0]);
    for (double& value : shown)
        value = std::clamp(value * scale, 0.0, 1.0);
    return shown;
}
}

class TargetViews : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        // The effect and the display program are read from the run folder's CG/.
        std::filesystem::current_path(MERROWIND_RUN_DIR);
        CreateShaderContext();
        HDRPostProcess.Init(ShaderContext);
        glGenTextures(2, waterImages.data());
        for (GLuint image : waterImages)
        {
            glBindTexture(GL_TEXTURE_2D, image);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        }
        std::swap(ReflectionTexture, waterImages[0]);
        std::swap(RefractionTexture, waterImages[1]);
    }

    void TearDown() override
    {
        std::swap(ReflectionTexture, waterImages[0]);
        std::swap(RefractionTexture, waterImages[1]);
        glDeleteTextures(2, waterImages.data());
        viewProgram.Release();
        DestroyShaderContext();
        HDRPostProcess.Destroy();
        std::filesystem::current_path(previous);
        GlTest::TearDown();
    }

    // Draws `view` over the whole window and reads the middle pixel.
    std::vector<unsigned char> Drawn(const TargetView& view, float scale)
    {
        glViewport(0, 0, 640, 480);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        viewProgram.Bind(view, scale);
        DrawClipSpaceQuad();
        viewProgram.Unbind();
        return ReadPixels(320, 240, 1, 1);
    }

    const std::filesystem::path previous = std::filesystem::current_path();
    std::array<GLuint, 2> waterImages = {};
    CViewProgram viewProgram;
};

// Every target is filled with a value of its own; each view must show its own target's value,
// found from where the scene keeps that target, not from the list of views. The values keep
// every mapping apart: exp(r) and r scaled by a half stay below 1.
TEST_F(TargetViews, EachViewShowsItsOwnTargetsContents)
{
    CHDRPostProcess& hdr = HDRPostProcess;
    const std::map<std::string, std::function<GLuint()>> owners = {
        {"reflection", [] { return ReflectionTexture; }},
        {"refraction", [] { return RefractionTexture; }},
        {"refraction_alpha", [] { return RefractionTexture; }},
        {"luminance_1", [&hdr] { return hdr.GetLuminanceTexture(0); }},
        {"luminance_4", [&hdr] { return hdr.GetLuminanceTexture(1); }},
        {"luminance_16", [&hdr] { return hdr.GetLuminanceTexture(2); }},
        {"luminance_64", [&hdr] { return hdr.GetLuminanceTexture(3); }},
        {"luminance_256", [&hdr] { return hdr.GetLuminanceTexture(4); }},
        {"adapted_luminance", [&hdr] { return hdr.GetAdaptedLuminanceTexture(); }},
        {"bright_pass", [&hdr] { return hdr.GetBrightPassTexture(); }},
        {"vertical_blur", [&hdr] { return hdr.GetBloomTexture(); }},
        {"final", [&hdr] { return hdr.GetFinalTexture(); }},
    };
    const std::vector<TargetView> views = ListTargetViews();
    std::vector<GLuint> textures;
    for (const TargetView& view : views)
        textures.push_back(owners.count(view.name) != 0 ? owners.at(view.name)() : view.target.texture);
    std::sort(textures.begin(), textures.end());
    textures.erase(std::unique(textures.begin(), textures.end()), textures.end());
    for (size_t k = 0; k < textures.size(); ++k)
    {
        const float step = 0.04f * static_cast<float>(k + 1);
        const Texel value = {step, 1.0f - step, 0.5f, step};
        glClearTexImage(textures[k], 0, GL_RGBA, GL_FLOAT, value.data());
    }

    size_t checked = 0;
    for (const TargetView& view : views)
    {
        SCOPED_TRACE(view.name);
        // A target the scene keeps nowhere else is checked against the texture the list gives.
        const GLuint own = owners.count(view.name) != 0 ? owners.at(view.name)() : view.target.texture;
        const std::array<double, 3> expected = Shown(FirstTexel(own), view.mode, 0.5);
        const std::vector<unsigned char> drawn = Drawn(view, 0.5f);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(drawn[channel], expected[channel] * 255.0, 1.5) << "channel " << channel;
        checked += owners.count(view.name);
    }
    EXPECT_EQ(checked, owners.size()) << "a view the scene has is missing from the list";
    EXPECT_NO_GL_ERROR();
}
