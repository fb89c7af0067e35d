// Compares each file's stamp with the one it was last read with, and rebuilds what differs.
#include "shader/CShaderReloader.h"

#include "shader/Handles.h"
#include "shader/ShaderError.h"

void CShaderReloader::Poll(CGcontext context)
{
    const auto now = std::chrono::steady_clock::now();
    if (lastCheck != std::chrono::steady_clock::time_point() && now - lastCheck < PollInterval)
        return;
    lastCheck = now;
    Check(context);
}

void CShaderReloader::Check(CGcontext context)
{
    if (context == nullptr)
        return;
    CShaderContext& shaders = *FromHandle(context);
    for (const auto& program : shaders.Programs())
        Refresh(shaders, *program);
    for (const auto& effect : shaders.Effects())
        Refresh(shaders, *effect);
}

template <typename Built>
void CShaderReloader::Refresh(CShaderContext& shaders, Built& built)
{
    FileStatus& status = StatusOf(built.File());
    if (StampOf(built.File()) == built.Stamp())
        return;
    status.built = shaders.Reload(built);
    status.listing = shaders.Listing();
    // The failure is in the status; it must not be taken later for an error of someone else's.
    TakeShaderError();
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
