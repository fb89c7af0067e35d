// SPDX-License-Identifier: MIT
// A triangle mesh in two vertex buffer objects (positions, texture coordinates) and an index
// buffer, drawn with client arrays sourced from them. The buffer entry points are looked up by
// this class itself. Made from an unshared triangle list, where most corners are stored several
// times, the index list names every corner by its first copy, so that a driver that shades
// vertices on the CPU shades each corner once instead of once per triangle; the triangles drawn
// are the same. A mesh of shared corners brings its own index list.
#pragma once

#include <epoxy/gl.h>

#include <vector>

// Looks the four buffer entry points up once; later calls do nothing. Without the
// ARB_vertex_buffer_object extension the core entry points of OpenGL 1.5 stand in; with neither,
// every mesh stays empty and draws nothing.
void LoadBufferFunctions();
// Client arrays are enabled only around a draw, so that no other drawing sees them.
void EnableArrays();
void DisableArrays();

class CVertexBuffer
{
public:
    void Generate();
    // An unshared triangle list. texCoords may be null: the mesh then has positions only.
    void Create(int vertexCount, const void* positions, int positionBytes, const void* texCoords, int texCoordBytes);
    // Shared corners and the triangles as indices into them. A list that names a corner the
    // uploads do not hold leaves the mesh without triangles.
    void CreateIndexed(int vertexCount, const void* positions, int positionBytes, const void* texCoords,
                       int texCoordBytes, const std::vector<GLuint>& indices);
    void Bind() const;
    void Draw(int count) const;  // count indices, never more than the mesh holds
    void Draw(int first, int count) const;  // from index `first` on, within the mesh
    void Release();

    GLuint vertexBuffer = 0;
    GLuint texCoordBuffer = 0;
    GLuint indexBuffer = 0;
    int vertexCount = 0;
    int indexCount = 0;
    bool hasTexCoords = false;
};

// The terrain's mesh, the one instance (app/Globals.cpp).
extern CVertexBuffer TerrainMesh;
