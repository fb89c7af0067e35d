// SPDX-License-Identifier: MIT
// Compares each file's stamp with the one it was last read with, and rebuilds what differs.
#include "shader/CShaderReloader.h"

#include "shader/Handles.h"
#include "shader/ShaderError.h"

CShaderReloader ShaderReloader;

bool CShaderReloader::Poll(CGcontext context)
{
    const auto now = std::chrono::steady_clock::now();
    if (lastCheck != std::chrono::steady_clock::time_point() && now - lastCheck < PollInterval)
        return false;
    lastCheck = now;
    return Check(context);
}

bool CShaderReloader::Check(CGcontext context)
{
    if (context == nullptr)
        return false;
    CShaderContext& shaders = *FromHandle(context);
    bool newFailure = false;
    for (const auto& program : shaders.Programs())
        newFailure |= Refresh(shaders, *program);
    for (const auto& effect : shaders.Effects())
        newFailure |= Refresh(shaders, *effect);
    return newFailure;
}

// True when the file built before and its new version does not.
template <typename Built>
bool CShaderReloader::Refresh(CShaderContext& shaders, Built& built)
{
    FileStatus& status = StatusOf(built.File());
    if (StampOf(built.File()) == built.Stamp())
        return false;
    const bool builtBefore = status.built;
    status.built = shaders.Reload(built);
    status.listing = shaders.Listing();
    // The failure is in the status; it must not be taken later for an error of someone else's.
    TakeShaderError();
    return builtBefore && !status.built;
}

CShaderReloader::FileStatus& CShaderReloader::StatusOf(const std::string& file)
{
    for (FileStatus& status : files)
    {
        if (status.file == file)
            return status;
    }
    files.push_back({file, true, ""});
    return files.back();
}
