// SPDX-License-Identifier: MIT
#include "hdr/CHDRPostProcess.h"

#include "hdr/HDROffsets.h"
#include "platform/MessageBox.h"
#include "shader/CgGL.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>

namespace
{
// The sizes of the targets after the scene's, whatever the scene's size; the sample offsets
// follow from them.
constexpr int LuminanceSizes[5] = {1, 4, 16, 64, 256};
constexpr int BrightPassSize = 512;
constexpr int BloomSize = 128;

constexpr const char* EffectFile = "CG/HDR_FX.cgfx";

// The adapted luminance before the first frame: about the log-average luminance of the scene,
// so that the first frames are exposed sensibly and adapt from there.
constexpr float StartingAdaptedLuminance = 0.3f;

void CreateTarget(CFrameBuffer& target, int width, int height, GLint format, GLint wrap)
{
    target.CreateBuffer(GL_TEXTURE_2D, width, height);
    target.CreateColorBuffer(format, wrap, CFrameBuffer::FilterNearest);
    target.FinalizeBuffer();
}

// Leaves the target bound, with the clear colour set, for the quad that follows.
void BindAndClear(CFrameBuffer& target, float red, float green, float blue)
{
    target.BindBuffer();
    glClearColor(red, green, blue, 1.0f);
    target.ClearBuffer();
}

template <std::size_t Count>
void SetVectors(CGparameter (&parameters)[Count], const std::array<Float4, Count>& values)
{
    for (std::size_t i = 0; i < Count; ++i)
        cgGLSetParameter4f(parameters[i], values[i].x, values[i].y, values[i].z, values[i].w);
}

void SetTexture(CGparameter sampler, GLuint texture)
{
    cgGLSetTextureParameter(sampler, texture);
    cgGLEnableTextureParameter(sampler);
}

// Before Init a target has no texture yet; its name is known all the same.
NamedTarget Named(const char* label, CFrameBuffer& target, TargetEncoding encoding)
{
    const GLuint texture = target.GetWidth() > 0 ? target.GetColorTexture() : 0;
    return NamedTarget{label, texture, target.GetWidth(), target.GetHeight(), encoding};
}

// Message box texts come from the runtime, which may have none to give.
const char* TextOrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}
}

void CHDRPostProcess::Init(CGcontext shaderContext)
{
    CreateTargets();
    ClearAdaptedLuminance();
    LoadEffect(shaderContext);
    ValidateTechniques();
    FetchTechniques();
    FetchParameters();
    ApplySettings();
}

void CHDRPostProcess::Destroy()
{
    multisample.Destroy();
    sceneMultisampled = false;
    sceneBuffer.DestroyBuffer();
    for (int i = 4; i >= 0; --i)
        luminanceBuffers[i].DestroyBuffer();
    adaptedLuminanceBuffer.DestroyBuffer();
    previousLuminanceBuffer.DestroyBuffer();
    brightPassBuffer.DestroyBuffer();
    bloomBuffer.DestroyBuffer();
    horizontalBlurBuffer.DestroyBuffer();
    verticalBlurBuffer.DestroyBuffer();
    finalBuffer.DestroyBuffer();
}

void CHDRPostProcess::CreateTargets()
{
    sceneBuffer.CreateBuffer(GL_TEXTURE_2D, sceneTargetWidth, sceneTargetHeight);
    sceneBuffer.CreateColorBuffer(GL_RGB16F_ARB, GL_CLAMP, CFrameBuffer::FilterNearest);
    sceneBuffer.CreateDepthBuffer(GL_DEPTH_COMPONENT24, GL_CLAMP, CFrameBuffer::FilterNearest);
    sceneBuffer.FinalizeBuffer();
    CreateTarget(brightPassBuffer, BrightPassSize, BrightPassSize, GL_RGB16F_ARB, GL_CLAMP);
    CreateTarget(bloomBuffer, BloomSize, BloomSize, GL_RGB16F_ARB, GL_CLAMP);
    CreateTarget(verticalBlurBuffer, BloomSize, BloomSize, GL_RGB16F_ARB, GL_CLAMP);
    CreateTarget(horizontalBlurBuffer, BloomSize, BloomSize, GL_RGB16F_ARB, GL_CLAMP);
    for (int i = 4; i >= 0; --i)
        CreateTarget(luminanceBuffers[i], LuminanceSizes[i], LuminanceSizes[i], GL_RGB16F_ARB, GL_REPEAT);
    // The eye's two 1 x 1 targets keep full floats: a half float loses any step below half a unit
    // in its last place, and the faster the frames, the smaller the steps; at 240 Hz the eye
    // would stop 3 % short of the scene's luminance.
    CreateTarget(adaptedLuminanceBuffer, 1, 1, GL_RGB32F_ARB, GL_REPEAT);
    CreateTarget(previousLuminanceBuffer, 1, 1, GL_RGB32F_ARB, GL_REPEAT);
    CreateTarget(finalBuffer, sceneTargetWidth, sceneTargetHeight, GL_RGB16, GL_CLAMP);
}

// The first adaptation reads the adapted luminance of a frame that never was: give it one.
void CHDRPostProcess::ClearAdaptedLuminance()
{
    GLfloat clearColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    BindAndClear(adaptedLuminanceBuffer, StartingAdaptedLuminance, StartingAdaptedLuminance, StartingAdaptedLuminance);
    adaptedLuminanceBuffer.UnbindBuffer();
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
}

void CHDRPostProcess::LoadEffect(CGcontext shaderContext)
{
    // Without a context the driver cannot run programs, and start-up has said so.
    effect = cgCreateEffectFromFile(shaderContext, EffectFile, nullptr);
    if (effect != nullptr || shaderContext == nullptr)
        return;
    cgGetError();
    MessageBox(nullptr, TextOrEmpty(cgGetLastListing(shaderContext)), "Effect went wrong!", MB_OK);
}

void CHDRPostProcess::ValidateTechniques()
{
    for (CGtechnique technique = cgGetFirstTechnique(effect); technique != nullptr;
         technique = cgGetNextTechnique(technique))
    {
        // The box says why validation failed: the error the failed validation raised, read after
        // it. The error read before it is whatever an earlier call left, most often none, and
        // the box would then say "No error has occurred." of a technique that failed. What is
        // read before only clears what is left over, so that it is not taken for this one's.
        cgGetError();
        if (!cgValidateTechnique(technique))
            MessageBox(nullptr, TextOrEmpty(cgGetErrorString(cgGetError())), "Technique not validated!", MB_OK);
    }
}

// A stage whose technique the effect lacks would draw without effect state and spoil the
// picture without a word; the missing techniques are listed in one box, as techniques that do
// not validate. Without an effect there is nothing to look in, and that has been reported.
void CHDRPostProcess::FetchTechniques()
{
    const std::pair<const char*, CGtechnique*> techniques[] = {
        {"LumGreyscaleDownsample", &lumGreyscaleDownsample},
        {"LumGreyscaleFootprint", &lumGreyscaleFootprint},
        {"LumDownsample", &lumDownsample},
        {"CalculateAdaptedLuminance", &calculateAdaptedLuminance},
        {"BrightPass", &brightPass},
        {"BrightPassFootprint", &brightPassFootprint},
        {"BrightPassDownSample", &brightPassDownSample},
        {"HorizontalBlur", &horizontalBlur},
        {"VerticalBlur", &verticalBlur},
        {"FinalPass", &finalPass},
    };
    std::string missing;
    for (const auto& [name, handle] : techniques)
    {
        *handle = cgGetNamedTechnique(effect, name);
        if (*handle == nullptr)
            missing += std::string(EffectFile) + ": the effect has no technique '" + name + "'\n";
    }
    if (effect != nullptr && !missing.empty())
        MessageBox(nullptr, missing, "Technique not validated!", MB_OK);
}

void CHDRPostProcess::FetchParameters()
{
    finalPassOrigSceneTex = cgGetNamedEffectParameter(effect, "FinalPassOrigSceneTex");
    finalPassLumTex = cgGetNamedEffectParameter(effect, "FinalPassLumTex");
    finalPassBlurTex = cgGetNamedEffectParameter(effect, "FinalPassBlurTex");
    finalPassExposure = cgGetNamedEffectParameter(effect, "FinalPassExposure");
    finalPassRcpBlurWidth = cgGetNamedEffectParameter(effect, "FinalPassRcpBlurWidth");
    finalPassRcpBlurHeight = cgGetNamedEffectParameter(effect, "FinalPassRcpBlurHeight");
    exposureKey = cgGetNamedEffectParameter(effect, "ExposureKey");
    adaptationRate = cgGetNamedEffectParameter(effect, "AdaptationRate");
    bloomStrength = cgGetNamedEffectParameter(effect, "BloomStrength");
    elapsedTimeParameter = cgGetNamedEffectParameter(effect, "ElapsedTime");
    brightPassTex0 = cgGetNamedEffectParameter(effect, "BrightPassTex0");
    brightPassTreshold = cgGetNamedEffectParameter(effect, "BrightPassTreshold");
    brightPassDownSampleTex0 = cgGetNamedEffectParameter(effect, "BrightPassDownSampleTex0");
    hBlurTex0 = cgGetNamedEffectParameter(effect, "HBlurTex0");
    vBlurTex0 = cgGetNamedEffectParameter(effect, "VBlurTex0");
    lumGreyscaleDownSampleTex0 = cgGetNamedEffectParameter(effect, "LumGreyscaleDownSampleTex0");
    lumDownSampleTex0 = cgGetNamedEffectParameter(effect, "LumDownSampleTex0");
    lumAdaptedLumTex = cgGetNamedEffectParameter(effect, "LumAdaptedLumTex");
    lumCurrentLumTex = cgGetNamedEffectParameter(effect, "LumCurrentLumTex");
    mvp = cgGetNamedEffectParameter(effect, "mvp");
    lumGrayscaleDownSampleOffset[0] = cgGetNamedEffectParameter(effect, "LumGrayscaleDownSampleOffset1");
    lumGrayscaleDownSampleOffset[1] = cgGetNamedEffectParameter(effect, "LumGrayscaleDownSampleOffset2");
    lumDownSampleOffset[0] = cgGetNamedEffectParameter(effect, "LumDownSampleOffset1");
    lumDownSampleOffset[1] = cgGetNamedEffectParameter(effect, "LumDownSampleOffset2");
    lumDownSampleOffset[2] = cgGetNamedEffectParameter(effect, "LumDownSampleOffset3");
    lumDownSampleOffset[3] = cgGetNamedEffectParameter(effect, "LumDownSampleOffset4");
    lumDownSampleOffset[4] = cgGetNamedEffectParameter(effect, "LumDownSampleOffset5");
    brightPassOffset[0] = cgGetNamedEffectParameter(effect, "BrightPassOffset1");
    brightPassOffset[1] = cgGetNamedEffectParameter(effect, "BrightPassOffset2");
    brightPassDownSampleOffset[0] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset1");
    brightPassDownSampleOffset[1] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset2");
    brightPassDownSampleOffset[2] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset3");
    brightPassDownSampleOffset[3] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset4");
    brightPassDownSampleOffset[4] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset5");
    brightPassDownSampleOffset[5] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset6");
    brightPassDownSampleOffset[6] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset7");
    brightPassDownSampleOffset[7] = cgGetNamedEffectParameter(effect, "BrightPassDownSampleOffset8");
    hBlurOffset[0] = cgGetNamedEffectParameter(effect, "HBlurOffset1");
    hBlurOffset[1] = cgGetNamedEffectParameter(effect, "HBlurOffset2");
    hBlurOffset[2] = cgGetNamedEffectParameter(effect, "HBlurOffset3");
    hBlurOffset[3] = cgGetNamedEffectParameter(effect, "HBlurOffset4");
    hBlurOffset[4] = cgGetNamedEffectParameter(effect, "HBlurOffset5");
    vBlurOffset[0] = cgGetNamedEffectParameter(effect, "VBlurOffset1");
    vBlurOffset[1] = cgGetNamedEffectParameter(effect, "VBlurOffset2");
    vBlurOffset[2] = cgGetNamedEffectParameter(effect, "VBlurOffset3");
    vBlurOffset[3] = cgGetNamedEffectParameter(effect, "VBlurOffset4");
    vBlurOffset[4] = cgGetNamedEffectParameter(effect, "VBlurOffset5");
}

void CHDRPostProcess::ApplySettings()
{
    cgGLSetParameter1f(exposureKey, settings.key);
    cgGLSetParameter1f(adaptationRate, settings.adaptationRate);
    cgGLSetParameter1f(bloomStrength, settings.bloomStrength);
    appliedSettings = settings;
}

void CHDRPostProcess::SetBrightPassThreshold(float threshold)
{
    brightPassThreshold = threshold;
}

void CHDRPostProcess::SetSceneSize(int width, int height)
{
    if (width == sceneTargetWidth && height == sceneTargetHeight)
        return;
    sceneTargetWidth = width;
    sceneTargetHeight = height;
    if (sceneBuffer.GetWidth() == 0)
        return;
    sceneBuffer.Resize(width, height);
    finalBuffer.Resize(width, height);
    if (sceneMultisampled)
        multisample.Create(width, height, MultisampleCount);
}

void CHDRPostProcess::SetSceneMultisampled(bool multisampled)
{
    if (multisampled == sceneMultisampled)
        return;
    sceneMultisampled = multisampled;
    if (multisampled)
        multisample.Create(sceneTargetWidth, sceneTargetHeight, MultisampleCount);
    else
        multisample.Destroy();
}

void CHDRPostProcess::BeginScene(float width, float height, float elapsed)
{
    sceneWidth = width;
    sceneHeight = height;
    elapsedTime = elapsed;
    BindAndClear(sceneBuffer, 0.0f, 0.0f, 0.0f);
    if (multisample.Exists())
        multisample.BindAndClear();
    glEnable(GL_DEPTH_TEST);
}

void CHDRPostProcess::EndScene()
{
    if (multisample.Exists())
        multisample.Resolve();
    sceneBuffer.UnbindBuffer();
}

void CHDRPostProcess::Process()
{
    if (!SameValues(settings, appliedSettings, HdrSettingFields))
        ApplySettings();
    MeasureLuminance();
    AdaptLuminance();
    RenderBloom();
    RenderFinalPass();
}

GLuint CHDRPostProcess::GetFinalTexture()
{
    return finalBuffer.GetColorTexture();
}

GLuint CHDRPostProcess::GetLuminanceTexture(int index)
{
    if (index < 0 || index > 4)
        return 0;
    return luminanceBuffers[index].GetColorTexture();
}

GLuint CHDRPostProcess::GetAdaptedLuminanceTexture()
{
    return adaptedLuminanceBuffer.GetColorTexture();
}

GLuint CHDRPostProcess::GetBrightPassTexture()
{
    return brightPassBuffer.GetColorTexture();
}

GLuint CHDRPostProcess::GetBloomTexture()
{
    return verticalBlurBuffer.GetColorTexture();
}

void CHDRPostProcess::ForEachTarget(const TargetVisitor& visit)
{
    static constexpr const char* LuminanceLabels[5] = {"luminance_1", "luminance_4", "luminance_16", "luminance_64",
                                                       "luminance_256"};
    visit(Named("scene", sceneBuffer, TargetEncoding::Scene));
    for (int i = 4; i >= 0; --i)
        visit(Named(LuminanceLabels[i], luminanceBuffers[i], TargetEncoding::LogLuminance));
    visit(Named("previous_luminance", previousLuminanceBuffer, TargetEncoding::Luminance));
    visit(Named("adapted_luminance", adaptedLuminanceBuffer, TargetEncoding::Luminance));
    visit(Named("bright_pass", brightPassBuffer, TargetEncoding::Scene));
    visit(Named("bright_pass_reduced", bloomBuffer, TargetEncoding::Scene));
    visit(Named("horizontal_blur", horizontalBlurBuffer, TargetEncoding::Scene));
    visit(Named("vertical_blur", verticalBlurBuffer, TargetEncoding::Scene));
    visit(Named("final", finalBuffer, TargetEncoding::Colour));
}

void CHDRPostProcess::DrawFullScreenQuad(int width, int height)
{
    const float right = static_cast<float>(width + 0.5);
    const float bottom = static_cast<float>(height + 0.5);
    glViewport(0, 0, width, height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    cgGLSetStateMatrixParameter(mvp, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(right, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, bottom, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(right, bottom, 0.0f);
    glEnd();
}

// The scene's log luminance into the 256 x 256 target, then reduced four times by four down to
// one texel.
void CHDRPostProcess::MeasureLuminance()
{
    CFrameBuffer& greyscale = luminanceBuffers[4];
    const CGpass greyscalePass = cgGetFirstPass(SceneReader(lumGreyscaleDownsample, lumGreyscaleFootprint));
    cgSetPassState(greyscalePass);
    BindAndClear(greyscale, 0.0f, 1.0f, 0.0f);
    cgGLSetupSampler(lumGreyscaleDownSampleTex0, sceneBuffer.GetColorTexture());
    SetVectors(lumGrayscaleDownSampleOffset,
               FourTapOffsets(sceneTargetWidth, sceneTargetHeight, greyscale.GetWidth(), greyscale.GetHeight()));
    DrawFullScreenQuad(greyscale.GetWidth(), greyscale.GetHeight());
    cgGLDisableTextureParameter(lumGreyscaleDownSampleTex0);
    greyscale.UnbindBuffer();
    cgResetPassState(greyscalePass);

    const CGpass reductionPass = cgGetFirstPass(lumDownsample);
    for (int source = 4; source > 0; --source)
    {
        CFrameBuffer& from = luminanceBuffers[source];
        CFrameBuffer& to = luminanceBuffers[source - 1];
        BindAndClear(to, 0.0f, 1.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        cgSetPassState(reductionPass);
        glBindTexture(GL_TEXTURE_2D, from.GetColorTexture());
        cgGLSetupSampler(lumDownSampleTex0, from.GetColorTexture());
        SetVectors(lumDownSampleOffset, NineTapOffsets(from.GetWidth(), from.GetHeight()));
        DrawFullScreenQuad(to.GetWidth(), to.GetHeight());
        cgResetPassState(reductionPass);
        to.UnbindBuffer();
    }
    // The reduction steps leave their last source on the sampler's unit; release it there as
    // every other stage releases its textures.
    cgGLDisableTextureParameter(lumDownSampleTex0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// The two 1 x 1 targets are a two-slot history: last frame's adapted value is copied aside with
// plain texturing, then blended towards this frame's measurement.
void CHDRPostProcess::AdaptLuminance()
{
    previousLuminanceBuffer.BindBuffer();
    previousLuminanceBuffer.ClearBuffer();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, adaptedLuminanceBuffer.GetColorTexture());
    DrawFullScreenQuad(1, 1);
    previousLuminanceBuffer.UnbindBuffer();

    adaptedLuminanceBuffer.BindBuffer();
    adaptedLuminanceBuffer.ClearBuffer();
    glEnable(GL_TEXTURE_2D);
    const CGpass pass = cgGetFirstPass(calculateAdaptedLuminance);
    cgSetPassState(pass);
    SetTexture(lumAdaptedLumTex, previousLuminanceBuffer.GetColorTexture());
    SetTexture(lumCurrentLumTex, GetLuminanceTexture(0));
    cgGLSetParameter1f(elapsedTimeParameter, elapsedTime);
    DrawFullScreenQuad(1, 1);
    cgGLDisableTextureParameter(lumAdaptedLumTex);
    cgGLDisableTextureParameter(lumCurrentLumTex);
    cgResetPassState(pass);
    adaptedLuminanceBuffer.UnbindBuffer();
}

void CHDRPostProcess::RenderBloom()
{
    RenderBrightPass();
    DownsampleBrightPass();
    BlurHorizontal();
    BlurVertical();
}

void CHDRPostProcess::RenderBrightPass()
{
    BindAndClear(brightPassBuffer, 0.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    const CGpass pass = cgGetFirstPass(SceneReader(brightPass, brightPassFootprint));
    cgSetPassState(pass);
    SetTexture(brightPassTex0, sceneBuffer.GetColorTexture());
    cgGLSetParameter1f(brightPassTreshold, brightPassThreshold);
    SetVectors(brightPassOffset,
               FourTapOffsets(sceneTargetWidth, sceneTargetHeight, BrightPassSize, BrightPassSize));
    DrawFullScreenQuad(BrightPassSize, BrightPassSize);
    cgGLDisableTextureParameter(brightPassTex0);
    cgResetPassState(pass);
    brightPassBuffer.UnbindBuffer();
}

void CHDRPostProcess::DownsampleBrightPass()
{
    BindAndClear(bloomBuffer, 0.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    const CGpass pass = cgGetFirstPass(brightPassDownSample);
    cgSetPassState(pass);
    SetTexture(brightPassDownSampleTex0, brightPassBuffer.GetColorTexture());
    SetVectors(brightPassDownSampleOffset, SixteenTapOffsets(BloomSize));
    DrawFullScreenQuad(BloomSize, BloomSize);
    cgGLDisableTextureParameter(brightPassDownSampleTex0);
    cgResetPassState(pass);
    bloomBuffer.UnbindBuffer();
}

void CHDRPostProcess::BlurHorizontal()
{
    const CGpass pass = cgGetFirstPass(horizontalBlur);
    BindAndClear(horizontalBlurBuffer, 1.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    cgSetPassState(pass);
    glBindTexture(GL_TEXTURE_2D, bloomBuffer.GetColorTexture());
    SetVectors(hBlurOffset, BlurTaps(BloomSize));
    cgGLSetupSampler(hBlurTex0, bloomBuffer.GetColorTexture());
    DrawFullScreenQuad(BloomSize, BloomSize);
    cgGLDisableTextureParameter(hBlurTex0);
    cgResetPassState(pass);
    horizontalBlurBuffer.UnbindBuffer();
}

// Cleared with the horizontal blur's clear colour; the quad covers it all, so it never shows.
void CHDRPostProcess::BlurVertical()
{
    verticalBlurBuffer.BindBuffer();
    verticalBlurBuffer.ClearBuffer();
    glEnable(GL_TEXTURE_2D);
    const CGpass pass = cgGetFirstPass(verticalBlur);
    cgSetPassState(pass);
    glBindTexture(GL_TEXTURE_2D, horizontalBlurBuffer.GetColorTexture());
    SetTexture(vBlurTex0, horizontalBlurBuffer.GetColorTexture());
    SetVectors(vBlurOffset, BlurTaps(BloomSize));
    DrawFullScreenQuad(BloomSize, BloomSize);
    cgGLDisableTextureParameter(vBlurTex0);
    cgResetPassState(pass);
    verticalBlurBuffer.UnbindBuffer();
}

void CHDRPostProcess::RenderFinalPass()
{
    finalBuffer.BindBuffer();
    finalBuffer.ClearBuffer();
    glEnable(GL_TEXTURE_2D);
    const CGpass pass = cgGetFirstPass(finalPass);
    cgSetPassState(pass);
    SetTexture(finalPassOrigSceneTex, sceneBuffer.GetColorTexture());
    SetTexture(finalPassLumTex, adaptedLuminanceBuffer.GetColorTexture());
    SetTexture(finalPassBlurTex, verticalBlurBuffer.GetColorTexture());
    cgGLSetParameter1f(finalPassExposure, settings.exposure);
    cgGLSetParameter1f(finalPassRcpBlurWidth, 1.0f / BloomSize);
    cgGLSetParameter1f(finalPassRcpBlurHeight, 1.0f / BloomSize);
    DrawFullScreenQuad(sceneTargetWidth, sceneTargetHeight);
    cgGLDisableTextureParameter(finalPassOrigSceneTex);
    cgGLDisableTextureParameter(finalPassLumTex);
    cgGLDisableTextureParameter(finalPassBlurTex);
    cgResetPassState(pass);
    glEnable(GL_TEXTURE_2D);
    finalBuffer.UnbindBuffer();
}

CGtechnique CHDRPostProcess::SceneReader(CGtechnique laidOut, CGtechnique footprint) const
{
    const bool isLaidOut = sceneTargetWidth == LaidOutSceneWidth && sceneTargetHeight == LaidOutSceneHeight;
    return isLaidOut ? laidOut : footprint;
}
