// SPDX-License-Identifier: MIT
// The off-screen target of the water images: one framebuffer object with a depth renderbuffer of
// the images' size (1024 x 1024 unless the window sets it), whose colour image is whichever
// texture the caller attaches when binding it. The reflection and refraction passes take turns
// with it every frame.
//
// The framebuffer entry points are looked up by this class itself, into a table of its own, and
// every framebuffer call goes through that table.
#pragma once

#include <epoxy/gl.h>

// Looks up the 17 framebuffer-object entry points. Without the extension (or with any entry point
// missing) the scene cannot render its water: the user is told, and the process ends (-1).
void LoadFramebufferEntryPoints();

class CRenderTexture
{
public:
    // Makes the framebuffer and its depth storage, and checks once that the driver can render
    // into a colour texture of this size with that depth buffer. If it cannot, the process ends
    // (-1), after a message when the driver calls the combination unsupported and with a line on
    // the standard error for any other refusal.
    void Create(int width, int height);
    // Whether Destroy deletes the default colour texture as well; the water images are not its.
    enum TextureUse
    {
        KeepTexture,
        DeleteTexture,
    };
    void Destroy(TextureUse textureUse);
    // Gives the depth storage a new size; the colour textures attached at binding must have it too.
    // Where the driver cannot render at that size (out of memory, or past its limits), a box says
    // so and it returns false: the water then shows no reflection or refraction until another size.
    bool Resize(int newWidth, int newHeight);

    // Directs rendering into the target, with colourTexture (a 2D texture of the target's size)
    // as its colour image.
    void Bind(GLuint colourTexture) const;
    // Viewport of the target's own size, a clear in the given colour, and the perspective of a
    // view of aspectWidth : aspectHeight; leaves the model-view matrix selected.
    void SetupView(float aspectWidth, float aspectHeight, float red, float green, float blue) const;
    // Directs rendering back to the window.
    void Unbind() const;

    int texture = 0;  // a default colour texture, deleted by Destroy(DeleteTexture); -1 for none
    GLuint framebuffer = 0;
    GLuint depthBuffer = 0;
    int width = 0;
    int height = 0;

private:
    void StoreDepth() const;
    GLenum CheckWithStandInTexture() const;
};

// The target of the reflection and refraction images, the one instance (app/Globals.cpp).
extern CRenderTexture RenderTexture;
