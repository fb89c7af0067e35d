// Polls the scene's shader files and lists their state.
#include "inspector/ShaderPanel.h"

#include "shader/CShaderReloader.h"
#include "water/WaterPrograms.h"

#include <imgui.h>

#include <vector>

namespace
{
const ImVec4 InUse(0.5f, 0.9f, 0.5f, 1.0f);
const ImVec4 Failed(1.0f, 0.45f, 0.4f, 1.0f);

CShaderReloader reloader;
// Whether each file, in the reloader's order, built before the last poll.
std::vector<bool> builtBefore;
}

bool PollShaderFiles()
{
    builtBefore.clear();
    for (const CShaderReloader::FileStatus& status : reloader.Files())
        builtBefore.push_back(status.built);
    reloader.Poll(ShaderContext);
    for (std::size_t i = 0; i < builtBefore.size(); ++i)
        if (builtBefore[i] && !reloader.Files()[i].built)
            return true;
    return false;
}

void DrawShaderPanel(bool showFailure)
{
    if (reloader.Files().empty())
        ImGui::TextWrapped("No programs are loaded.");
    for (const CShaderReloader::FileStatus& status : reloader.Files())
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
            ImGui::TextWrapped("%s", status.listing.c_str());
        ImGui::PopID();
    }
}
