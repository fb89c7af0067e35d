// SPDX-License-Identifier: MIT
// One pass of an effect technique: a vertex and a fragment program and the render states the pass
// sets. Setting the pass state remembers what it changes, then binds the programs through the
// context's pipeline; resetting restores what was remembered and releases the programs. Both act
// on GL only once the context's GL states are registered (cgGLRegisterStates).
#pragma once

#include "shader/CGlslProgram.h"
#include "shader/EffectSource.h"

#include <string>
#include <vector>

class CEffect;

class CPass
{
public:
    CPass(CEffect& effect, const PassSource& source, const CGlslProgram& vertexProgram,
          const CGlslProgram& fragmentProgram);

    const std::string& Name() const { return name; }
    void SetState();
    void ResetState();
    // Whether the two programs can draw together; the driver's reasons in `log`.
    bool Validate(std::string& log) const;

private:
    struct StateChange
    {
        RenderState state;
        bool value;
        bool previous;
    };

    CEffect& effect;
    std::string name;
    const CGlslProgram& vertexProgram;
    const CGlslProgram& fragmentProgram;
    std::vector<StateChange> changes;
    bool applied = false;
};
