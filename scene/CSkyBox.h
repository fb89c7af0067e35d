// SPDX-License-Identifier: MIT
// The sky: the inside of a large textured cube fixed in the scene, its six faces cut from one
// cross-shaped atlas image.
#pragma once

#include "camera/Vector3.h"

#include <array>

class CSkyBox
{
public:
    // One corner of a face: atlas coordinate, then position.
    struct Vertex
    {
        float s;
        float t;
        float x;
        float y;
        float z;
    };
    static constexpr int FaceCount = 6;
    static constexpr int VerticesPerFace = 4;
    // Six triangle strips of four vertices: top, bottom, z = min, z = max, x = min, x = max.
    using FaceVertices = std::array<Vertex, FaceCount * VerticesPerFace>;

    CSkyBox() : position(0.0f) {}
    ~CSkyBox() { Destroy(); }

    void Load();
    void SetPosition(const Vector3& centre) { position = centre; }
    void SetSize(float edge) { size = edge; }
    void Draw() const;
    void Destroy();  // deletes the texture, if this box created one

    // The cube of edge `edge` centred on `centre`, as Draw submits it.
    static FaceVertices Faces(const Vector3& centre, float edge);

    Vector3 position;
    float size = 0.0f;
    int texture = -1;
};

// The scene's sky, the one instance (app/Globals.cpp).
extern CSkyBox SkyBox;
