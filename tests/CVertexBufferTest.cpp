// SPDX-License-Identifier: MIT
#include "scene/CVertexBuffer.h"
#include "scene/Terrain.h"
#include "GlContext.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Two triangles covering the left half of the view, in normalised device coordinates.
const float QuadPositions[6 * 3] = {-1, -1, 0, 0, -1, 0, -1, 1, 0, 0, -1, 0, -1, 1, 0, 0, 1, 0};
const float QuadTexCoords[6 * 2] = {0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1, 1};

GLint BufferSize(GLuint buffer)
{
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    return size;
}

class VertexBuffer : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        LoadBufferFunctions();
        mesh.Generate();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
    }
    void TearDown() override
    {
        mesh.Release();
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        GlTest::TearDown();
    }

    // The per-pass draw sequence, counting the triangles that reach the pipeline.
    GLuint DrawnTriangles(int count, int first = 0)
    {
        GLuint query = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        EnableArrays();
        mesh.Bind();
        mesh.Draw(first, count);
        DisableArrays();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint triangles = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
        glDeleteQueries(1, &query);
        return triangles;
    }

    void ExpectArraysDisabled()
    {
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    }

    CVertexBuffer mesh;
};
}

TEST_F(VertexBuffer, DrawNeverGoesPastTheUploadedVertices)
{
    mesh.Create(6, QuadPositions, sizeof QuadPositions, QuadTexCoords, sizeof QuadTexCoords);
    EXPECT_EQ(mesh.vertexCount, 6);
    EXPECT_TRUE(mesh.hasTexCoords);
    EXPECT_EQ(DrawnTriangles(6), 2u);
    EXPECT_EQ(DrawnTriangles(40000), 2u);
    EXPECT_EQ(DrawnTriangles(3), 1u);
    EXPECT_EQ(DrawnTriangles(0), 0u);
    EXPECT_EQ(DrawnTriangles(-3), 0u);
    // A range from a later index stays inside the mesh too.
    EXPECT_EQ(DrawnTriangles(40000, 3), 1u);
    EXPECT_EQ(DrawnTriangles(3, 6), 0u);
    EXPECT_EQ(DrawnTriangles(6, -3), 2u);
    ExpectArraysDisabled();

    // A count beyond the data is cut to what the shorter upload holds.
    mesh.Create(100, QuadPositions, sizeof QuadPositions, QuadTexCoords, 3 * 2 * sizeof(float));
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(DrawnTriangles(100), 1u);

    // Shared corners with their own triangles: a list naming a corner past the uploads would
    // have the driver read past a buffer's end, so such a mesh draws nothing.
    const float corners[4 * 3] = {-1, -1, 0, 0, -1, 0, -1, 1, 0, 0, 1, 0};
    const float cornerTexCoords[4 * 2] = {0, 0, 1, 0, 0, 1, 1, 1};
    const struct
    {
        std::vector<GLuint> indices;
        GLuint triangles;
    } lists[] = {{{0, 1, 2, 2, 1, 3}, 2u}, {{0, 1, 2}, 1u}, {{0, 1, 2, 2, 1, 4}, 0u}, {{}, 0u}};
    for (const auto& list : lists)
    {
        mesh.CreateIndexed(4, corners, sizeof corners, cornerTexCoords, sizeof cornerTexCoords, list.indices);
        EXPECT_EQ(DrawnTriangles(40000), list.triangles) << list.indices.size() << " indices";
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(VertexBuffer, HoldsTheWholeTerrain)
{
    std::vector<float> positions(TerrainVertexCount * 3);
    std::vector<float> texCoords(TerrainVertexCount * 2);
    GenerateTerrain(positions.data(), texCoords.data());
    mesh.Create(TerrainVertexCount, positions.data(), TerrainPositionBytes, texCoords.data(), TerrainTexCoordBytes);

    EXPECT_EQ(mesh.vertexCount, 33750);
    EXPECT_EQ(BufferSize(mesh.vertexBuffer), 405000);
    EXPECT_EQ(BufferSize(mesh.texCoordBuffer), 270000);
    EXPECT_EQ(DrawnTriangles(TerrainVertexCount), 11250u);
    ExpectArraysDisabled();
    GLint elementBuffer = -1;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    EXPECT_EQ(elementBuffer, 0) << "the index list stays bound after the draw";

    // Every vertex is drawn as the first copy of its corner: one of the 76 x 76 grid corners,
    // at the very same position and material coordinate.
    std::vector<GLuint> indices(TerrainVertexCount);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, TerrainVertexCount * sizeof(GLuint), indices.data());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    std::vector<bool> named(TerrainVertexCount, false);
    int corners = 0;
    for (int i = 0; i < TerrainVertexCount; ++i)
    {
        const GLuint first = indices[i];
        ASSERT_LE(first, static_cast<GLuint>(i));
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(positions[3 * first + k], positions[3 * i + k]) << "vertex " << i;
        for (int k = 0; k < 2; ++k)
            ASSERT_EQ(texCoords[2 * first + k], texCoords[2 * i + k]) << "vertex " << i;
        corners += !named[first];
        named[first] = true;
    }
    const int cornersPerSide = TerrainExtent / TerrainStep + 1;
    EXPECT_EQ(corners, cornersPerSide * cornersPerSide);
    EXPECT_NO_GL_ERROR();
}

TEST_F(VertexBuffer, EachArrayIsFedFromItsOwnBuffer)
{
    mesh.Create(6, QuadPositions, sizeof QuadPositions, QuadTexCoords, sizeof QuadTexCoords);
    EnableArrays();
    mesh.Bind();
    GLint positions = 0, positionSize = 0, texCoords = 0, texCoordSize = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BUFFER_BINDING, &positions);
    glGetIntegerv(GL_VERTEX_ARRAY_SIZE, &positionSize);
    glGetIntegerv(GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING, &texCoords);
    glGetIntegerv(GL_TEXTURE_COORD_ARRAY_SIZE, &texCoordSize);
    DisableArrays();

    EXPECT_EQ(static_cast<GLuint>(positions), mesh.vertexBuffer);
    EXPECT_EQ(positionSize, 3);
    EXPECT_EQ(static_cast<GLuint>(texCoords), mesh.texCoordBuffer);
    EXPECT_EQ(texCoordSize, 2);
    EXPECT_NE(mesh.vertexBuffer, mesh.texCoordBuffer);
    EXPECT_NO_GL_ERROR();
}

TEST_F(VertexBuffer, MeshWithoutTextureCoordinatesDrawsItsPositions)
{
    mesh.Create(6, QuadPositions, sizeof QuadPositions, nullptr, 0);
    EXPECT_FALSE(mesh.hasTexCoords);
    EXPECT_EQ(BufferSize(mesh.vertexBuffer), static_cast<GLint>(sizeof QuadPositions));

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(DrawnTriangles(6), 2u);
    const std::vector<unsigned char> left = ReadPixels(100, 240, 1, 1);
    const std::vector<unsigned char> right = ReadPixels(540, 240, 1, 1);
    EXPECT_EQ(left[0], 255);
    EXPECT_EQ(right[0], 0);
    ExpectArraysDisabled();
    EXPECT_NO_GL_ERROR();
}

TEST_F(VertexBuffer, ReleaseDeletesBothBuffersAndEmptiesTheMesh)
{
    mesh.Create(6, QuadPositions, sizeof QuadPositions, QuadTexCoords, sizeof QuadTexCoords);
    const GLuint positions = mesh.vertexBuffer;
    const GLuint texCoords = mesh.texCoordBuffer;
    ASSERT_TRUE(glIsBuffer(positions));
    ASSERT_TRUE(glIsBuffer(texCoords));

    mesh.Release();
    EXPECT_FALSE(glIsBuffer(positions));
    EXPECT_FALSE(glIsBuffer(texCoords));
    EXPECT_EQ(DrawnTriangles(6), 0u);
    EXPECT_NO_GL_ERROR();
}
