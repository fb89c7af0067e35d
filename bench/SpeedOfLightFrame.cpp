// SPDX-License-Identifier: MIT
#include "SpeedOfLightFrame.h"

#include "app/Scene.h"
#include "camera/Projection.h"
#include "platform/CWindow.h"
#include "scene/Terrain.h"

#include <GL/glu.h>

#include <vector>

namespace
{
constexpr int GridCells = 150;
constexpr int SkyVertices = 24;

const char* VertexSource = R"(#version 410 compatibility
layout(location = 0) in vec3 position;
out vec2 uv;
void main()
{
    uv = position.xz * (1.0 / 750.0);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(position, 1.0);
})";

const char* FragmentSource = R"(#version 410 compatibility
uniform sampler2D image;
in vec2 uv;
out vec4 colour;
void main()
{
    colour = texture(image, uv);
})";

GLuint MakeProgram()
{
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(vertex, 1, &VertexSource, nullptr);
    glCompileShader(vertex);
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(fragment, 1, &FragmentSource, nullptr);
    glCompileShader(fragment);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

GLuint MakeBuffer(const std::vector<float>& values)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(float)), values.data(),
                 GL_STATIC_DRAW);
    return buffer;
}

std::vector<float> TerrainPositions()
{
    std::vector<float> positions(TerrainVertexCount * 3);
    std::vector<float> texCoords(TerrainVertexCount * 2);
    GenerateTerrain(positions.data(), texCoords.data());
    for (size_t i = 0; i < positions.size(); i += 3)
    {
        positions[i] = (positions[i] - 75.0f) * 5.0f;
        positions[i + 2] = (positions[i + 2] - 75.0f) * 5.0f;
    }
    return positions;
}

std::vector<float> GridPositions()
{
    std::vector<float> positions;
    positions.reserve(GridCells * GridCells * 4 * 3);
    for (int i = 0; i < GridCells * 5; i += 5)
        for (int j = 0; j < GridCells * 5; j += 5)
            for (const auto& [x, z] : {std::pair{i, j + 5}, {i + 5, j + 5}, {i, j}, {i + 5, j}})
                positions.insert(positions.end(), {x - 375.0f, 0.0f, z - 375.0f});
    return positions;
}

// One index list for all the grid's strips, so the 90000 vertices go down in a single draw.
GLuint MakeGridStrips()
{
    std::vector<GLuint> indices;
    indices.reserve(GridCells * GridCells * 5);
    for (GLuint cell = 0; cell < GridCells * GridCells; ++cell)
        indices.insert(indices.end(), {cell * 4, cell * 4 + 1, cell * 4 + 2, cell * 4 + 3, 0xFFFFFFFFu});
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return buffer;
}

std::vector<float> SkyPositions()
{
    std::vector<float> positions;
    const float s = 750.0f;
    const float faces[6][4][3] = {
        {{-s, s, -s}, {s, s, -s}, {-s, s, s}, {s, s, s}},     {{-s, -s, -s}, {s, -s, -s}, {-s, -s, s}, {s, -s, s}},
        {{s, s, -s}, {-s, s, -s}, {s, -s, -s}, {-s, -s, -s}}, {{-s, s, s}, {s, s, s}, {-s, -s, s}, {s, -s, s}},
        {{-s, s, -s}, {-s, s, s}, {-s, -s, -s}, {-s, -s, s}}, {{s, -s, -s}, {s, -s, s}, {s, s, -s}, {s, s, s}}};
    for (const auto& face : faces)
        for (const auto& corner : face)
            positions.insert(positions.end(), {corner[0] * 5.0f, corner[1], corner[2] * 5.0f});
    return positions;
}

// The start view of the program, so the same part of the targets is covered.
void SetStartView()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(100.0, 100.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

GLuint MakeMaterialTexture()
{
    const std::vector<unsigned char> pixels(512 * 512 * 3, 128);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 512, 512, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return texture;
}
}

SpeedOfLightFrame::Target SpeedOfLightFrame::MakeTarget(int width, int height, GLenum colourFormat,
                                                        DepthBuffer depthBuffer)
{
    Target target;
    target.width = width;
    target.height = height;
    glGenTextures(1, &target.colour);
    glBindTexture(GL_TEXTURE_2D, target.colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(colourFormat), width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.colour, 0);
    if (depthBuffer == WithDepth)
    {
        GLuint depth = 0;
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return target;
}

void SpeedOfLightFrame::Create(int width, int height, const RenderTargetSizes& targetSizes)
{
    clientWidth = width;
    clientHeight = height;
    const int water = targetSizes.waterSize;
    waterTargets = {MakeTarget(water, water, GL_RGB, WithDepth), MakeTarget(water, water, GL_RGBA, WithDepth)};
    scene = MakeTarget(targetSizes.sceneWidth, targetSizes.sceneHeight, GL_RGB16F, WithDepth);
    const int sizes[12][2] = {{256, 256}, {64, 64},   {16, 16},   {4, 4},     {1, 1},     {1, 1},
                              {1, 1},     {512, 512}, {128, 128}, {128, 128}, {128, 128},
                              {targetSizes.sceneWidth, targetSizes.sceneHeight}};
    for (size_t i = 0; i < chain.size(); ++i)
        chain[i] = MakeTarget(sizes[i][0], sizes[i][1], i + 1 == chain.size() ? GL_RGB16 : GL_RGB16F, WithoutDepth);
    program = MakeProgram();
    terrain = MakeBuffer(TerrainPositions());
    grid = MakeBuffer(GridPositions());
    sky = MakeBuffer(SkyPositions());
    quad = MakeBuffer({0.0f, 0.0f, 0.0f, 750.0f, 0.0f, 0.0f, 0.0f, 0.0f, 750.0f, 750.0f, 0.0f, 750.0f});
    gridStrips = MakeGridStrips();
    texture = MakeMaterialTexture();
}

void SpeedOfLightFrame::BindTarget(const Target& target) const
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glViewport(0, 0, target.width, target.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SpeedOfLightFrame::DrawTerrain() const
{
    glBindBuffer(GL_ARRAY_BUFFER, terrain);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, TerrainVertexCount);
}

void SpeedOfLightFrame::DrawQuad(GLuint source) const
{
    glBindTexture(GL_TEXTURE_2D, source);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 750.0, 0.0, 750.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glBindBuffer(GL_ARRAY_BUFFER, quad);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void SpeedOfLightFrame::Render(IFrameObserver& observer) const
{
    glUseProgram(program);
    glEnableVertexAttribArray(0);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (size_t pass = 0; pass < waterTargets.size(); ++pass)
    {
        BindTarget(waterTargets[pass]);
        LoadPerspective(clientWidth, clientHeight);
        SetStartView();
        DrawTerrain();
        if (pass == 0)
        {
            glBindBuffer(GL_ARRAY_BUFFER, sky);
            glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
            for (int face = 0; face < SkyVertices; face += 4)
                glDrawArrays(GL_TRIANGLE_STRIP, face, 4);
        }
        observer.StageFinished(pass == 0 ? FrameStage::Reflection : FrameStage::Refraction);
    }

    BindTarget(scene);
    LoadPerspective(clientWidth, clientHeight);
    SetStartView();
    glBindBuffer(GL_ARRAY_BUFFER, grid);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gridStrips);
    glDrawElements(GL_TRIANGLE_STRIP, GridCells * GridCells * 5, GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDisable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
    glBindBuffer(GL_ARRAY_BUFFER, sky);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    for (int face = 0; face < SkyVertices; face += 4)
        glDrawArrays(GL_TRIANGLE_STRIP, face, 4);
    DrawTerrain();
    observer.StageFinished(FrameStage::MainScene);

    GLuint source = scene.colour;
    for (const Target& target : chain)
    {
        BindTarget(target);
        DrawQuad(source);
        source = target.colour;
    }
    observer.StageFinished(FrameStage::HdrChain);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, clientWidth, clientHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawQuad(chain.back().colour);
    glClear(GL_DEPTH_BUFFER_BIT);
    glViewport(0, clientHeight - clientHeight / 8, clientWidth / 8, clientHeight / 8);
    DrawQuad(waterTargets[1].colour);
    glViewport(clientWidth / 8, clientHeight - clientHeight / 8, clientWidth / 8, clientHeight / 8);
    DrawQuad(waterTargets[0].colour);
    glViewport(0, 0, clientWidth, clientHeight);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
    observer.StageFinished(FrameStage::Composite);
    MainWindow.SwapBuffers();
    observer.StageFinished(FrameStage::Swap);
}
