// SPDX-License-Identifier: MIT
// The HDR post-processing chain: the main scene is rendered into a floating-point target, its
// log-average luminance is measured down to one texel, the eye adapts to it over the frames, the
// parts brighter than a threshold are extracted and blurred into a bloom, and the exposed scene
// with its bloom is tone mapped into the final texture that the frame draws to the window. Every
// stage draws one full-screen quad through a technique of the effect "CG/HDR_FX.cgfx".
#pragma once

#include "hdr/CFrameBuffer.h"
#include "hdr/CMultisampleTarget.h"
#include "hdr/HdrSettings.h"
#include "hdr/NamedTarget.h"
#include "shader/Cg.h"

class CHDRPostProcess
{
public:
    // Creates the thirteen targets and loads the effect into `shaderContext`. Failures, a
    // technique that the effect lacks among them, are shown in message boxes and Init goes on:
    // the chain then draws with whatever exists.
    void Init(CGcontext shaderContext);
    // Releases the targets; the effect goes with the shader context.
    void Destroy();

    // What the chain draws with; a change reaches the effect at the next Process. The bright-pass
    // threshold among them is the frame's to hand over, through SetBrightPassThreshold.
    HdrSettings& Settings() { return settings; }
    // Stores the luminance above which the bright pass keeps a colour; every Process hands it to
    // the effect.
    void SetBrightPassThreshold(float threshold);
    // The size of the scene target and of the final picture: 1024 x 768 unless the frame asks
    // for another (the window's drawable). The targets take it at once, or at Init before it;
    // their texture names stay. The chain's other targets keep their sizes.
    void SetSceneSize(int width, int height);
    // Whether the main scene is drawn multisampled, with MultisampleCount samples where the
    // driver offers them, and resolved into the scene target at EndScene. Only a change makes GL
    // calls; a driver without multisampling draws the scene target itself.
    void SetSceneMultisampled(bool multisampled);
    static constexpr int MultisampleCount = 4;
    // The samples a pixel of the main scene takes now: 1 unless multisampled.
    int SceneSamples() const { return multisample.Exists() ? multisample.Samples() : 1; }
    // The chain's unit of time, in which the eye's adaptation rate is given: 0.33 of it pass in
    // a frame at 60 Hz.
    static constexpr double TimeUnitsPerSecond = 0.33 * 60.0;

    // Binds the scene target (saving the caller's binding and viewport) and clears it; the frame
    // then draws its main scene. The size is recorded only: SetSceneSize sizes the target.
    // `elapsed` is the time since the last frame, in the chain's units.
    void BeginScene(float width, float height, float elapsed);
    // Unbinds the scene target, resolving the multisampled scene into it first.
    void EndScene();
    // Runs the chain into the final texture. Afterwards the caller's framebuffer and viewport
    // are bound again, no effect pass is active, the matrices are the last quad's (the caller
    // sets its own), 2D texturing is enabled and the clear colour is (1, 0, 0, 1).
    void Process();

    GLuint GetFinalTexture();
    GLuint GetLuminanceTexture(int index);
    GLuint GetAdaptedLuminanceTexture();
    GLuint GetBrightPassTexture();
    GLuint GetBloomTexture();
    // Every target of the chain, in the order the chain fills them. Before Init the names are
    // there already, with texture 0 and size 0.
    void ForEachTarget(const TargetVisitor& visit);

    // A quad over a width x height target, half a pixel beyond each edge, with t = 1 on the top
    // row; it leaves the quad's orthographic projection and an identity model-view selected.
    void DrawFullScreenQuad(int width, int height);

private:
    void CreateTargets();
    void ClearAdaptedLuminance();
    void LoadEffect(CGcontext shaderContext);
    void ValidateTechniques();
    void FetchTechniques();
    void FetchParameters();
    // Written at load and when a setting has changed since, not every frame; the exposure is the
    // final pass's, which sets it every frame.
    void ApplySettings();

    void MeasureLuminance();
    void AdaptLuminance();
    void RenderBloom();
    void RenderBrightPass();
    void DownsampleBrightPass();
    void BlurHorizontal();
    void BlurVertical();
    void RenderFinalPass();
    // `laidOut` while the scene target has the size the chain's taps were laid out for, else
    // `footprint`.
    CGtechnique SceneReader(CGtechnique laidOut, CGtechnique footprint) const;

    CFrameBuffer sceneBuffer;
    CMultisampleTarget multisample;
    bool sceneMultisampled = false;
    // 1, 4, 16, 64 and 256 texels square, from index 0 up.
    CFrameBuffer luminanceBuffers[5];
    CFrameBuffer adaptedLuminanceBuffer;
    CFrameBuffer previousLuminanceBuffer;
    CFrameBuffer brightPassBuffer;
    CFrameBuffer bloomBuffer;
    CFrameBuffer horizontalBlurBuffer;
    CFrameBuffer verticalBlurBuffer;
    CFrameBuffer finalBuffer;

    CGeffect effect = nullptr;

    // The scene's two readers have a technique for the scene size their taps were laid out for
    // and one that averages the footprint at any other; SceneReader picks one per frame.
    CGtechnique lumGreyscaleDownsample = nullptr;
    CGtechnique lumGreyscaleFootprint = nullptr;
    CGtechnique lumDownsample = nullptr;
    CGtechnique calculateAdaptedLuminance = nullptr;
    CGtechnique brightPass = nullptr;
    CGtechnique brightPassFootprint = nullptr;
    CGtechnique brightPassDownSample = nullptr;
    CGtechnique horizontalBlur = nullptr;
    CGtechnique verticalBlur = nullptr;
    CGtechnique finalPass = nullptr;

    CGparameter brightPassTreshold = nullptr;
    CGparameter finalPassExposure = nullptr;
    CGparameter finalPassRcpBlurWidth = nullptr;
    CGparameter finalPassRcpBlurHeight = nullptr;
    CGparameter exposureKey = nullptr;
    CGparameter adaptationRate = nullptr;
    CGparameter bloomStrength = nullptr;
    CGparameter elapsedTimeParameter = nullptr;
    CGparameter lumGreyscaleDownSampleTex0 = nullptr;
    CGparameter lumDownSampleTex0 = nullptr;
    CGparameter lumAdaptedLumTex = nullptr;
    CGparameter lumCurrentLumTex = nullptr;
    CGparameter brightPassTex0 = nullptr;
    CGparameter brightPassDownSampleTex0 = nullptr;
    CGparameter hBlurTex0 = nullptr;
    CGparameter vBlurTex0 = nullptr;
    CGparameter finalPassOrigSceneTex = nullptr;
    CGparameter finalPassLumTex = nullptr;
    CGparameter finalPassBlurTex = nullptr;
    CGparameter mvp = nullptr;
    CGparameter lumGrayscaleDownSampleOffset[2] = {};
    CGparameter lumDownSampleOffset[5] = {};
    CGparameter brightPassOffset[2] = {};
    CGparameter brightPassDownSampleOffset[8] = {};
    CGparameter hBlurOffset[5] = {};
    CGparameter vBlurOffset[5] = {};

    static constexpr int LaidOutSceneWidth = 1024;
    static constexpr int LaidOutSceneHeight = 768;
    int sceneTargetWidth = LaidOutSceneWidth;
    int sceneTargetHeight = LaidOutSceneHeight;
    float sceneWidth = 0.0f;
    float sceneHeight = 0.0f;
    float brightPassThreshold = 0.0f;
    float elapsedTime = 0.0f;
    HdrSettings settings;
    // The settings the effect holds now.
    HdrSettings appliedSettings;
};

// The scene's HDR chain, the one instance (app/Globals.cpp).
extern CHDRPostProcess HDRPostProcess;
