// SPDX-License-Identifier: MIT
#include "water/WaterPrograms.h"

#include "platform/MessageBox.h"
#include "scene/Textures.h"
#include "shader/CShaderContext.h"
#include "shader/CgGL.h"

#include <string>

WaterSettings waterSettings;

namespace
{
struct ProgramPair
{
    CGprofile vertexProfile;
    CGprogram vertexProgram;
    CGprofile fragmentProfile;
    CGprogram fragmentProgram;
};

struct UnderwaterParameters
{
    CGparameter modelViewProj;
    CGparameter plane0;
    CGparameter baseTex;
    CGparameter waterHeight;
    CGparameter fadingScale;
    CGparameter absorbtionOfLight;
    CGparameter distortionEdge;
    CGparameter pass2;
    CGparameter filterAlongFootprint;
};

struct AboveWaterParameters
{
    CGparameter modelViewProj;
    CGparameter plane0;
    CGparameter baseTex;
    CGparameter filterAlongFootprint;
};

struct WaterPlaneParameters
{
    CGparameter modelViewProj;
    CGparameter normalTex0;
    CGparameter heightTex0;
    CGparameter normalTex1;
    CGparameter heightTex1;
    CGparameter aboveWaterTex;
    CGparameter underWaterTex;
    CGparameter eyePos;
    CGparameter speed0;
    CGparameter speed1;
    CGparameter speed2;
    CGparameter elapsedTime;
    CGparameter distortionStrength;
    CGparameter reflectanceHeadOn;
    CGparameter transmittedHeadOn;
    CGparameter sunIntensity;
    CGparameter sunShininess;
    CGparameter filterAlongFootprint;
};

ProgramPair underwater;
UnderwaterParameters underwaterParameters;
ProgramPair aboveWater;
AboveWaterParameters aboveWaterParameters;
ProgramPair waterPlane;
WaterPlaneParameters waterPlaneParameters;
// The settings the water plane's programs hold now.
WaterSettings appliedWaterSettings;
// Whether the file textures are filtered along each pixel's footprint (the best picture).
bool footprintFilter = false;

// How the water's body colours the terrain under it (see CG/FP_Underwater.cg); its absorption
// and fading are settings.
constexpr float WaterHeight = 0.0f;
constexpr float DistortionEdge = 5.0f;
constexpr float ShoreFadeDepth = 5.0f;

// The height maps drift with their normal maps.
constexpr float Speed2[2] = {0.0f, 0.0f};
// The programs' time runs at three units a second: 0.05 a frame at 60 Hz, the step the wave
// speeds were chosen for.
constexpr double TimeUnitsPerSecond = 3.0;
double waterSeconds = 0.0;

// A program that fails to build is reported, under the name of its file, and left null; the
// runtime ignores null handles, so the scene carries on without what it would have drawn.
CGprogram LoadProgram(CGprofile profile, const char* file, const char* errorCaption)
{
    cgGLSetOptimalOptions(profile);
    const CGprogram program = cgCreateProgramFromFile(ShaderContext, CG_SOURCE, file, profile, "main", nullptr);
    if (program == nullptr)
        MessageBox(nullptr, std::string(file) + ": " + cgGetErrorString(cgGetError()), errorCaption, MB_OK);
    cgGLLoadProgram(program);
    return program;
}

void LoadPair(ProgramPair& pair, CGprofile vertexProfile, const char* vertexFile, CGprofile fragmentProfile,
              const char* fragmentFile)
{
    pair.vertexProfile = vertexProfile;
    pair.vertexProgram = LoadProgram(vertexProfile, vertexFile, "Error VP");
    pair.fragmentProfile = fragmentProfile;
    pair.fragmentProgram = LoadProgram(fragmentProfile, fragmentFile, "Error FP");
}

void BindPair(const ProgramPair& pair)
{
    cgGLBindProgram(pair.vertexProgram);
    cgGLEnableProfile(pair.vertexProfile);
    cgGLBindProgram(pair.fragmentProgram);
    cgGLEnableProfile(pair.fragmentProfile);
}

void DisableProfiles(const ProgramPair& pair)
{
    cgGLDisableProfile(pair.vertexProfile);
    cgGLDisableProfile(pair.fragmentProfile);
}

void SetModelViewProjection(CGparameter parameter)
{
    cgGLSetStateMatrixParameter(parameter, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
}

// Written when the programs are loaded and when a setting has changed since, not every frame.
void ApplyWaterPlaneSettings()
{
    const WaterPlaneParameters& p = waterPlaneParameters;
    const WaterSettings& s = waterSettings;
    cgSetParameter2f(p.speed0, s.waveSpeed0X, s.waveSpeed0Y);
    cgSetParameter2f(p.speed1, s.waveSpeed1X, s.waveSpeed1Y);
    cgSetParameter1f(p.distortionStrength, s.distortionStrength);
    cgSetParameter1f(p.reflectanceHeadOn, s.reflectanceHeadOn);
    cgSetParameter1f(p.transmittedHeadOn, 1.0f - s.reflectanceHeadOn);
    cgSetParameter1f(p.sunIntensity, s.sunIntensity);
    cgSetParameter1f(p.sunShininess, s.sunShininess);
    appliedWaterSettings = waterSettings;
}

// Keeps what lies on the plane's positive side: (a, b, c, d) as in CG/VP_AboveWater.cg.
void BindAboveWaterProgramsKeeping(float a, float b, float c, float d)
{
    const AboveWaterParameters& p = aboveWaterParameters;
    BindPair(aboveWater);
    SetModelViewProjection(p.modelViewProj);
    cgGLSetParameter4f(p.plane0, a, b, c, d);
    cgGLSetTextureParameter(p.baseTex, TerrainMaterialTexture);
    cgGLEnableTextureParameter(p.baseTex);
    cgSetParameter1f(p.filterAlongFootprint, footprintFilter ? 1.0f : 0.0f);
}
}

void CreateShaderContext()
{
    ShaderContext = cgCreateContext();
    cgGLRegisterStates(ShaderContext);
    LoadUnderwaterPrograms();
    LoadAboveWaterPrograms();
    LoadWaterPlanePrograms();
}

void DestroyShaderContext()
{
    cgDestroyContext(ShaderContext);
    ShaderContext = nullptr;
}

void LoadUnderwaterPrograms()
{
    LoadPair(underwater, CG_PROFILE_VP40, "CG/VP_Underwater.cg", CG_PROFILE_ARBFP1, "CG/FP_Underwater.cg");
    UnderwaterParameters& p = underwaterParameters;
    p.modelViewProj = cgGetNamedParameter(underwater.vertexProgram, "ModelViewProj");
    p.plane0 = cgGetNamedParameter(underwater.vertexProgram, "Plane0");
    p.baseTex = cgGetNamedParameter(underwater.fragmentProgram, "baseTex");
    p.waterHeight = cgGetNamedParameter(underwater.fragmentProgram, "WaterHeight");
    p.fadingScale = cgGetNamedParameter(underwater.fragmentProgram, "FadingScale");
    p.absorbtionOfLight = cgGetNamedParameter(underwater.fragmentProgram, "AbsorbtionOfLight");
    p.distortionEdge = cgGetNamedParameter(underwater.fragmentProgram, "DistortionEdge");
    p.pass2 = cgGetNamedParameter(underwater.vertexProgram, "Pass2");
    p.filterAlongFootprint = cgGetNamedParameter(underwater.fragmentProgram, "FilterAlongFootprint");
}

void LoadAboveWaterPrograms()
{
    LoadPair(aboveWater, CG_PROFILE_VP40, "CG/VP_AboveWater.cg", CG_PROFILE_ARBFP1, "CG/FP_AboveWater.cg");
    AboveWaterParameters& p = aboveWaterParameters;
    p.modelViewProj = cgGetNamedParameter(aboveWater.vertexProgram, "ModelViewProj");
    p.plane0 = cgGetNamedParameter(aboveWater.vertexProgram, "Plane0");
    p.baseTex = cgGetNamedParameter(aboveWater.fragmentProgram, "baseTex");
    p.filterAlongFootprint = cgGetNamedParameter(aboveWater.fragmentProgram, "FilterAlongFootprint");
}

void LoadWaterPlanePrograms()
{
    LoadPair(waterPlane, CG_PROFILE_ARBVP1, "CG/VP_WaterPlane.cg", CG_PROFILE_ARBFP1, "CG/FP_WaterPlane.cg");
    WaterPlaneParameters& p = waterPlaneParameters;
    p.modelViewProj = cgGetNamedParameter(waterPlane.vertexProgram, "ModelViewProj");
    p.normalTex0 = cgGetNamedParameter(waterPlane.fragmentProgram, "NormalTex0");
    p.heightTex0 = cgGetNamedParameter(waterPlane.fragmentProgram, "HeightTex0");
    p.normalTex1 = cgGetNamedParameter(waterPlane.fragmentProgram, "NormalTex1");
    p.heightTex1 = cgGetNamedParameter(waterPlane.fragmentProgram, "HeightTex1");
    p.aboveWaterTex = cgGetNamedParameter(waterPlane.fragmentProgram, "AboveWaterTex");
    p.underWaterTex = cgGetNamedParameter(waterPlane.fragmentProgram, "UnderWaterTex");
    p.eyePos = cgGetNamedParameter(waterPlane.vertexProgram, "EyePos");
    p.speed0 = cgGetNamedParameter(waterPlane.fragmentProgram, "Speed0");
    p.speed1 = cgGetNamedParameter(waterPlane.fragmentProgram, "Speed1");
    p.speed2 = cgGetNamedParameter(waterPlane.fragmentProgram, "Speed2");
    p.elapsedTime = cgGetNamedParameter(waterPlane.fragmentProgram, "ElapsedTime");
    p.distortionStrength = cgGetNamedParameter(waterPlane.fragmentProgram, "DistortionStrength");
    p.reflectanceHeadOn = cgGetNamedParameter(waterPlane.fragmentProgram, "ReflectanceHeadOn");
    p.transmittedHeadOn = cgGetNamedParameter(waterPlane.fragmentProgram, "TransmittedHeadOn");
    p.sunIntensity = cgGetNamedParameter(waterPlane.fragmentProgram, "SunIntensity");
    p.sunShininess = cgGetNamedParameter(waterPlane.fragmentProgram, "SunShininess");
    p.filterAlongFootprint = cgGetNamedParameter(waterPlane.fragmentProgram, "FilterAlongFootprint");
    cgSetParameter2f(p.speed2, Speed2[0], Speed2[1]);
    ApplyWaterPlaneSettings();
}

void BindUnderwaterPrograms()
{
    const UnderwaterParameters& p = underwaterParameters;
    BindPair(underwater);
    SetModelViewProjection(p.modelViewProj);
    cgGLSetParameter4f(p.plane0, 0.0f, -1.0f, 0.0f, 0.0f);
    cgGLSetParameter1f(p.distortionEdge, DistortionEdge);
    cgGLSetTextureParameter(p.baseTex, TerrainMaterialTexture);
    cgGLEnableTextureParameter(p.baseTex);
    cgGLSetParameter1f(p.waterHeight, WaterHeight);
    cgGLSetParameter1f(p.fadingScale, waterSettings.fadingScale);
    cgGLSetParameter3f(p.absorbtionOfLight, waterSettings.absorptionRed, waterSettings.absorptionGreen,
                       waterSettings.absorptionBlue);
    cgGLSetParameter1f(p.pass2, ShoreFadeDepth);
    cgSetParameter1f(p.filterAlongFootprint, footprintFilter ? 1.0f : 0.0f);
}

void UnbindUnderwaterPrograms()
{
    cgGLDisableTextureParameter(underwaterParameters.baseTex);
    DisableProfiles(underwater);
}

void BindAboveWaterPrograms()
{
    BindAboveWaterProgramsKeeping(0.0f, 1.0f, 0.0f, 0.0f);
}

// Llvmpipe clips by the clip distance that a program writes even while clip plane 0 is disabled,
// so the main view's plane keeps everything.
void BindMainViewTerrainPrograms()
{
    BindAboveWaterProgramsKeeping(0.0f, 0.0f, 0.0f, 1.0f);
}

void UnbindAboveWaterPrograms()
{
    cgGLDisableTextureParameter(aboveWaterParameters.baseTex);
    DisableProfiles(aboveWater);
}

void UseFootprintFilter(bool filter)
{
    footprintFilter = filter;
}

bool FootprintFilterInUse()
{
    return footprintFilter;
}

void SetWaterTime(double seconds)
{
    waterSeconds = seconds;
}

void BindWaterPlanePrograms(float eyeX, float eyeY, float eyeZ)
{
    const WaterPlaneParameters& p = waterPlaneParameters;
    BindPair(waterPlane);
    SetModelViewProjection(p.modelViewProj);
    cgSetParameter3f(p.eyePos, eyeX, eyeY, eyeZ);

    cgGLSetTextureParameter(p.normalTex0, NormalTexture0);
    cgGLSetTextureParameter(p.heightTex0, HeightTexture0);
    cgGLSetTextureParameter(p.normalTex1, NormalTexture1);
    cgGLSetTextureParameter(p.heightTex1, HeightTexture1);
    cgGLSetTextureParameter(p.aboveWaterTex, ReflectionTexture);
    cgGLSetTextureParameter(p.underWaterTex, RefractionTexture);
    cgGLEnableTextureParameter(p.normalTex0);
    cgGLEnableTextureParameter(p.normalTex1);
    cgGLEnableTextureParameter(p.heightTex1);
    cgGLEnableTextureParameter(p.heightTex0);
    cgGLEnableTextureParameter(p.aboveWaterTex);
    cgGLEnableTextureParameter(p.underWaterTex);

    if (!SameValues(waterSettings, appliedWaterSettings, WaterSettingFields))
        ApplyWaterPlaneSettings();
    cgSetParameter1f(p.elapsedTime, static_cast<float>(waterSeconds * TimeUnitsPerSecond));
    cgSetParameter1f(p.filterAlongFootprint, footprintFilter ? 1.0f : 0.0f);
}

void UnbindWaterPlanePrograms()
{
    const WaterPlaneParameters& p = waterPlaneParameters;
    cgGLDisableTextureParameter(p.normalTex0);
    cgGLDisableTextureParameter(p.heightTex0);
    cgGLDisableTextureParameter(p.normalTex1);
    cgGLDisableTextureParameter(p.heightTex1);
    cgGLDisableTextureParameter(p.aboveWaterTex);
    cgGLDisableTextureParameter(p.underWaterTex);
    DisableProfiles(waterPlane);
}
