// A triangle mesh in two vertex buffer objects (positions, texture coordinates), drawn with
// client arrays sourced from them. The buffer entry points are looked up by this class itself.
#pragma once

#include <epoxy/gl.h>

// Looks the four buffer entry points up once; later calls do nothing.
void LoadBufferFunctions();
void EnableArrays();
void DisableArrays();

class CVertexBuffer
{
public:
    void Generate();
    void Create(int vertexCount, const void* positions, int positionBytes, const void* texCoords, int texCoordBytes);
    void Bind() const;
    void Draw(int count) const;  // never more than the uploaded vertices
    void Release();

    GLuint vertexBuffer;
    GLuint texCoordBuffer;
    int vertexCount;
    bool hasTexCoords;
};
