#include "scene/CVertexBuffer.h"

#include <SDL.h>

#include <algorithm>

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
}

void CVertexBuffer::Create(int count, const void* positions, int positionBytes, const void* texCoords,
                           int texCoordBytes)
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
    const int drawn = std::min(count, vertexCount);
    if (drawn > 0)
        glDrawArrays(GL_TRIANGLES, 0, drawn);
}

void CVertexBuffer::Release()
{
    if (!Buffers.Available())
        return;
    Buffers.DeleteBuffers(1, &vertexBuffer);
    Buffers.DeleteBuffers(1, &texCoordBuffer);
    // A draw after the release would source its vertices from no buffer, a null client pointer.
    *this = CVertexBuffer();
}
