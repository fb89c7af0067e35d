// SPDX-License-Identifier: MIT
// A technique of an effect: its passes in file order, and its place among the effect's techniques.
#pragma once

#include "shader/CPass.h"

#include <memory>
#include <string>
#include <vector>

class CEffect;

class CTechnique
{
public:
    CTechnique(CEffect& effect, std::string name, size_t index) : effect(effect), name(std::move(name)), index(index)
    {
    }

    CEffect& Effect() const { return effect; }
    const std::string& Name() const { return name; }
    size_t Index() const { return index; }
    void AddPass(std::unique_ptr<CPass> pass) { passes.push_back(std::move(pass)); }
    void ClearPasses() { passes.clear(); }
    CPass* FirstPass() const { return passes.empty() ? nullptr : passes.front().get(); }
    // True when every pass can draw on this GL; otherwise the reasons go into `listing`.
    bool Validate(std::string& listing) const;

private:
    CEffect& effect;
    std::string name;
    size_t index;
    std::vector<std::unique_ptr<CPass>> passes;
};
