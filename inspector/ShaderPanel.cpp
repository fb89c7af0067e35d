// SPDX-License-Identifier: MIT
// Polls the scene's shader files and lists their state.
#include "inspector/ShaderPanel.h"

#include "platform/ReadableText.h"
#include "shader/CShaderContext.h"
#include "shader/CShaderReloader.h"

#include <imgui.h>

namespace
{
const ImVec4 InUse(0.5f, 0.9f, 0.5f, 1.0f);
const ImVec4 Failed(1.0f, 0.45f, 0.4f, 1.0f);
}

bool PollShaderFiles()
{
    return ShaderReloader.Poll(ShaderContext);
}

void DrawShaderPanel(bool showFailure)
{
    if (ShaderReloader.Files().empty())
        ImGui::TextWrapped("No programs are loaded.");
    for (const CShaderReloader::FileStatus& status : ShaderReloader.Files())
    {
        ImGui::PushID(status.file.c_str());
        if (showFailure && !status.built)
        {
            ImGui::SetScrollHereY(0.0f);
            showFailure = false;
        }
        ImGui::TextColored(status.built ? InUse : Failed, "%s", status.built ? "in use" : "failed");
        ImGui::SameLine();
        ImGui::TextWrapped("%s", status.file.c_str());
        if (!status.built)
            ImGui::TextWrapped("The version before stays in use.");
        if (!status.listing.empty())
            ImGui::TextWrapped("%s", CutText(status.listing).c_str());
        ImGui::PopID();
    }
}
