// Polls the scene's shader files and lists their state.
#include "inspector/ShaderPanel.h"

#include "shader/CShaderReloader.h"
#include "water/WaterPrograms.h"

#include <imgui.h>

namespace
{
const ImVec4 InUse(0.5f, 0.9f, 0.5f, 1.0f);
const ImVec4 Failed(1.0f, 0.45f, 0.4f, 1.0f);

CShaderReloader reloader;
}

void PollShaderFiles()
{
    reloader.Poll(ShaderContext);
}

void DrawShaderPanel()
{
    if (reloader.Files().empty())
        ImGui::TextUnformatted("No programs are loaded.");
    for (const CShaderReloader::FileStatus& status : reloader.Files())
    {
        ImGui::PushID(status.file.c_str());
        ImGui::TextColored(status.built ? InUse : Failed, "%s", status.built ? "in use" : "failed");
        ImGui::SameLine();
        ImGui::TextUnformatted(status.file.c_str());
        if (!status.built)
            ImGui::TextWrapped("The version before stays in use.");
        if (!status.listing.empty())
            ImGui::TextWrapped("%s", status.listing.c_str());
        ImGui::PopID();
    }
}
