// SPDX-License-Identifier: MIT
// The seven textures of the water scene: two square render targets (1024 x 1024 unless the window
// sets their size) and five images read from the working directory. A file texture whose file
// failed to load keeps -1.
#pragma once

#include <epoxy/gl.h>

extern GLuint ReflectionTexture;
extern GLuint RefractionTexture;
extern GLuint TerrainMaterialTexture;
extern GLuint NormalTexture0;
extern GLuint HeightTexture0;
extern GLuint NormalTexture1;
extern GLuint HeightTexture1;

void LoadTextures();
// Filters the five file textures for the picture setting: mipmapped (a full chain generated from
// the top level, trilinear; the programs filter along each pixel's footprint themselves) or as
// they were loaded (linear, the top level only). Only a change makes GL calls, so the specified
// picture makes none; leaves no texture bound after one.
void UseMipmappedFileTextures(bool mipmapped);
// Gives the two render textures a new size, keeping their names; leaves no texture bound.
void ResizeRenderTextures(GLsizei size);

// Reads a BMP file into a new linearly filtered RGB texture without mipmaps, left bound, and
// returns true. When the file cannot be read, or its image is larger than the driver's texture
// limit, one message has said why and `texture` is untouched.
// Sets the unpack alignment to 1, since the decoded rows are not padded.
bool LoadImageTexture(const char* fileName, GLuint& texture);
