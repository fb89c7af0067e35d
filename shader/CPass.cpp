// SPDX-License-Identifier: MIT
// Applies and restores a pass's render states and binds its programs.
#include "shader/CPass.h"

#include "shader/CEffect.h"
#include "shader/CShaderContext.h"

namespace
{
GLenum Capability(RenderState state)
{
    switch (state)
    {
    case RenderState::DepthTest: return GL_DEPTH_TEST;
    case RenderState::Blend: return GL_BLEND;
    default: return GL_CULL_FACE;
    }
}

bool ReadState(RenderState state)
{
    if (state != RenderState::DepthMask)
        return glIsEnabled(Capability(state)) == GL_TRUE;
    GLboolean mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    return mask == GL_TRUE;
}

void WriteState(RenderState state, bool value)
{
    if (state == RenderState::DepthMask)
        glDepthMask(value ? GL_TRUE : GL_FALSE);
    else if (value)
        glEnable(Capability(state));
    else
        glDisable(Capability(state));
}
}

CPass::CPass(CEffect& effect, const PassSource& source, const CGlslProgram& vertexProgram,
             const CGlslProgram& fragmentProgram)
    : effect(effect), name(source.name), vertexProgram(vertexProgram), fragmentProgram(fragmentProgram)
{
    for (const auto& [state, value] : source.states)
        changes.push_back({state, value, false});
}

void CPass::SetState()
{
    if (!effect.Context().StatesRegistered())
        return;
    for (StateChange& change : changes)
    {
        change.previous = ReadState(change.state);
        WriteState(change.state, change.value);
    }
    CProgramPipeline& pipeline = effect.Context().Pipeline();
    pipeline.Select(GL_VERTEX_SHADER, vertexProgram.Name());
    pipeline.Select(GL_FRAGMENT_SHADER, fragmentProgram.Name());
    pipeline.Enable(GL_VERTEX_SHADER);
    pipeline.Enable(GL_FRAGMENT_SHADER);
    applied = true;
}

void CPass::ResetState()
{
    if (!applied)
        return;
    for (auto change = changes.rbegin(); change != changes.rend(); ++change)
        WriteState(change->state, change->previous);
    CProgramPipeline& pipeline = effect.Context().Pipeline();
    pipeline.Disable(GL_VERTEX_SHADER);
    pipeline.Disable(GL_FRAGMENT_SHADER);
    effect.UnbindSamplerObjects();
    applied = false;
}

bool CPass::Validate(std::string& log) const
{
    return CProgramPipeline::Validate(vertexProgram.Name(), fragmentProgram.Name(), log);
}
