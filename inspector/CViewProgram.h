// SPDX-License-Identifier: MIT
// The display program of the inspector's views (CG/VP_TargetView.cg, CG/FP_TargetView.cg): it
// maps what a target's texels hold to something a person can look at. It is loaded into the
// scene's shading context the first time a view is shown, and goes with that context.
#pragma once

#include "inspector/TargetViews.h"
#include "shader/Cg.h"

#include <string>

class CViewProgram
{
public:
    // Binds the program for `view` with the overlay's projection as it stands; the caller draws
    // the rectangle. Without a shading context the rectangle shows the raw texture.
    void Bind(const TargetView& view, float scale);
    void Unbind();
    // Forgets the programs before the shading context releases them.
    void Release();

    // The compiler's listing when the program could not be loaded, empty otherwise.
    const std::string& Problem() const { return problem; }

private:
    void Load();

    bool loaded = false;
    std::string problem;
    CGprogram vertexProgram = nullptr;
    CGprogram fragmentProgram = nullptr;
    CGparameter modelViewProj = nullptr;
    CGparameter image = nullptr;
    CGparameter mode = nullptr;
    CGparameter scale = nullptr;
};
