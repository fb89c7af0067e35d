// SPDX-License-Identifier: MIT
// Watches the files of every program and effect of a shading context and rebuilds, in place, what
// has changed on disk (see CShaderContext::Reload): handles held to programs, effects, techniques
// and parameters stay valid, and the parameters keep their values. It looks only when asked to,
// so while no one polls nothing changes. Start-up reports its failures in message boxes; a
// rebuild shows none: its outcome and the compiler's listing are kept per file for display.
#pragma once

#include "shader/Cg.h"

#include <chrono>
#include <string>
#include <vector>

class CShaderContext;

class CShaderReloader
{
public:
    struct FileStatus
    {
        std::string file;
        // False when the file's last version did not build: the version before it is in use.
        bool built = true;
        // The compiler's messages on the last version read (warnings too, and a note for each
        // parameter the scene sets that it leaves out), or why it did not build.
        std::string listing;
    };

    // Looks at the files at most every PollInterval; a null context has none. True when a file
    // whose last version built has just failed, so that its listing can be brought into view.
    bool Poll(CGcontext context);
    // Looks at every file now, and rebuilds what has changed since it was last read; true as Poll.
    bool Check(CGcontext context);
    // Every file of the context, in the order first seen: programs, then effects.
    const std::vector<FileStatus>& Files() const { return files; }

    static constexpr std::chrono::milliseconds PollInterval{250};

private:
    template <typename Built>
    bool Refresh(CShaderContext& shaders, Built& built);
    FileStatus& StatusOf(const std::string& file);

    std::vector<FileStatus> files;
    std::chrono::steady_clock::time_point lastCheck;
};

// The reloader of the scene's shading context, which the inspector polls while it is open.
extern CShaderReloader ShaderReloader;
