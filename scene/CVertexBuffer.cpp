// SPDX-License-Identifier: MIT
#include "scene/CVertexBuffer.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace
{
// The buffer entry points, looked up by name: all four or none.
struct BufferFunctions
{
    PFNGLGENBUFFERSARBPROC GenBuffers = nullptr;
    PFNGLBINDBUFFERARBPROC BindBuffer = nullptr;
    PFNGLBUFFERDATAARBPROC BufferData = nullptr;
    PFNGLDELETEBUFFERSARBPROC DeleteBuffers = nullptr;

    bool Available() const { return GenBuffers != nullptr; }
};

BufferFunctions Buffers;
bool BufferFunctionsLoaded = false;

struct BufferFunctionNames
{
    const char* genBuffers;
    const char* bindBuffer;
    const char* bufferData;
    const char* deleteBuffers;
};

constexpr BufferFunctionNames ExtensionNames = {"glGenBuffersARB", "glBindBufferARB", "glBufferDataARB",
                                                "glDeleteBuffersARB"};
constexpr BufferFunctionNames CoreNames = {"glGenBuffers", "glBindBuffer", "glBufferData", "glDeleteBuffers"};

constexpr int PositionBytesPerVertex = 3 * sizeof(float);
constexpr int TexCoordBytesPerVertex = 2 * sizeof(float);

template <typename Function>
Function ProcAddress(const char* name)
{
    return reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
}

BufferFunctions LookUp(const BufferFunctionNames& names)
{
    BufferFunctions found;
    found.GenBuffers = ProcAddress<PFNGLGENBUFFERSARBPROC>(names.genBuffers);
    found.BindBuffer = ProcAddress<PFNGLBINDBUFFERARBPROC>(names.bindBuffer);
    found.BufferData = ProcAddress<PFNGLBUFFERDATAARBPROC>(names.bufferData);
    found.DeleteBuffers = ProcAddress<PFNGLDELETEBUFFERSARBPROC>(names.deleteBuffers);
    if (!found.GenBuffers || !found.BindBuffer || !found.BufferData || !found.DeleteBuffers)
        return BufferFunctions();
    return found;
}

// Vertex i of the list becomes the index of the first vertex with the same position and texture
// coordinate, compared bit for bit: the terrain's generator makes the copies of a corner identical.
std::vector<GLuint> FirstCopies(int count, const float* positions, const float* texCoords)
{
    using Key = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t>;
    const auto bits = [](const float* value) {
        std::uint32_t word = 0;
        std::memcpy(&word, value, sizeof word);
        return word;
    };
    std::map<Key, GLuint> first;
    std::vector<GLuint> indices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        const float* p = positions + 3 * i;
        const float* t = texCoords != nullptr ? texCoords + 2 * i : nullptr;
        const Key key{bits(p), bits(p + 1), bits(p + 2), t ? bits(t) : 0u, t ? bits(t + 1) : 0u};
        indices[i] = first.emplace(key, static_cast<GLuint>(i)).first->second;
    }
    return indices;
}

// No more vertices than both uploads hold, so that no draw reads past the end of a buffer.
int UploadedVertices(int count, int positionBytes, bool hasTexCoords, int texCoordBytes)
{
    int vertices = std::min(count, positionBytes / PositionBytesPerVertex);
    if (hasTexCoords)
        vertices = std::min(vertices, texCoordBytes / TexCoordBytesPerVertex);
    return std::max(vertices, 0);
}
}

void LoadBufferFunctions()
{
    if (BufferFunctionsLoaded)
        return;
    // SDL_GL_GetProcAddress hands out stubs for names the driver lacks, so only the extension
    // string or the version says whether an entry point may be called.
    if (epoxy_has_gl_extension("GL_ARB_vertex_buffer_object"))
        Buffers = LookUp(ExtensionNames);
    else if (epoxy_gl_version() >= 15)
        Buffers = LookUp(CoreNames);
    BufferFunctionsLoaded = true;
}

void EnableArrays()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void DisableArrays()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void CVertexBuffer::Generate()
{
    LoadBufferFunctions();
    if (!Buffers.Available())
        return;
    Buffers.GenBuffers(1, &vertexBuffer);
    Buffers.GenBuffers(1, &texCoordBuffer);
    Buffers.GenBuffers(1, &indexBuffer);
}

void CVertexBuffer::Create(int count, const void* positions, int positionBytes, const void* texCoords,
                           int texCoordBytes)
{
    const int uploaded = UploadedVertices(count, positionBytes, texCoords != nullptr, texCoordBytes);
    CreateIndexed(uploaded, positions, positionBytes, texCoords, texCoordBytes,
                  FirstCopies(uploaded, static_cast<const float*>(positions), static_cast<const float*>(texCoords)));
}

void CVertexBuffer::CreateIndexed(int count, const void* positions, int positionBytes, const void* texCoords,
                                  int texCoordBytes, const std::vector<GLuint>& indices)
{
    if (!Buffers.Available())
        return;
    Buffers.BindBuffer(GL_ARRAY_BUFFER_ARB, vertexBuffer);
    Buffers.BufferData(GL_ARRAY_BUFFER_ARB, positionBytes, positions, GL_STATIC_DRAW_ARB);
    hasTexCoords = texCoords != nullptr;
    vertexCount = UploadedVertices(count, positionBytes, hasTexCoords, texCoordBytes);
    if (hasTexCoords)
    {
        Buffers.BindBuffer(GL_ARRAY_BUFFER_ARB, texCoordBuffer);
        Buffers.BufferData(GL_ARRAY_BUFFER_ARB, texCoordBytes, texCoords, GL_STATIC_DRAW_ARB);
    }
    const bool inside = std::all_of(indices.begin(), indices.end(),
                                    [this](GLuint index) { return index < static_cast<GLuint>(vertexCount); });
    indexCount = inside ? static_cast<int>(indices.size()) : 0;
    Buffers.BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBuffer);
    Buffers.BufferData(GL_ELEMENT_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(indexCount * sizeof(GLuint)),
                       indices.data(), GL_STATIC_DRAW_ARB);
    Buffers.BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void CVertexBuffer::Bind() const
{
    if (!Buffers.Available())
        return;
    Buffers.BindBuffer(GL_ARRAY_BUFFER_ARB, vertexBuffer);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    if (hasTexCoords)
    {
        Buffers.BindBuffer(GL_ARRAY_BUFFER_ARB, texCoordBuffer);
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    }
    else
    {
        // The texture-coordinate buffer is empty: reading it would run past its end.
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void CVertexBuffer::Draw(int count) const
{
    Draw(0, count);
}

void CVertexBuffer::Draw(int first, int count) const
{
    const int start = std::clamp(first, 0, indexCount);
    const int drawn = std::min(count, indexCount - start);
    if (drawn <= 0)
        return;
    // The index buffer is bound only for the draw: client index arrays elsewhere must not read it.
    Buffers.BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBuffer);
    glDrawElements(GL_TRIANGLES, drawn, GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<std::uintptr_t>(start) * sizeof(GLuint)));
    Buffers.BindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void CVertexBuffer::Release()
{
    if (!Buffers.Available())
        return;
    Buffers.DeleteBuffers(1, &vertexBuffer);
    Buffers.DeleteBuffers(1, &texCoordBuffer);
    Buffers.DeleteBuffers(1, &indexBuffer);
    // A draw after the release would source its vertices from no buffer, a null client pointer.
    *this = CVertexBuffer();
}
