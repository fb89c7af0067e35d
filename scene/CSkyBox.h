// The sky: the inside of a large textured cube fixed in the scene, its six faces cut from one
// cross-shaped atlas image.
#pragma once

#include "camera/Vector3.h"

class CSkyBox
{
public:
    CSkyBox() : position(0.0f) {}
    ~CSkyBox() { Destroy(); }

    void Load();
    void SetPosition(const Vector3& centre) { position = centre; }
    void SetSize(float edge) { size = edge; }
    void Draw() const;
    void Destroy();  // deletes the texture, if this box created one

    Vector3 position;
    float size = 0.0f;
    int texture = -1;
};
