// Sliders over the settings of the water programs and the HDR chain.
#include "inspector/SettingsPanel.h"

#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "water/WaterPrograms.h"

#include <imgui.h>

#include <cstring>
#include <string>

namespace
{
// What the last save gave, shown until the next one.
std::string saveOutcome;

// The group's title stands for the part of each name before the dot; the rest labels the slider.
template <typename Settings, std::size_t Count>
void DrawSliders(const char* title, Settings& settings, const UniformSetting<Settings> (&fields)[Count])
{
    ImGui::TextDisabled("%s", title);
    const Settings defaults;
    for (const UniformSetting<Settings>& field : fields)
    {
        float& value = settings.*field.value;
        ImGui::PushID(field.name);
        ImGui::BeginDisabled(value == defaults.*field.value);
        if (ImGui::SmallButton("Reset"))
            value = defaults.*field.value;
        ImGui::EndDisabled();
        ImGui::SameLine();
        ImGui::SliderFloat(std::strchr(field.name, '.') + 1, &value, field.minimum, field.maximum, "%.4g",
                           ImGuiSliderFlags_AlwaysClamp);
        ImGui::PopID();
    }
}
}

void DrawSettingsPanel()
{
    // The sliders leave room for the longest name beside them.
    ImGui::PushItemWidth(-ImGui::CalcTextSize("reflectance_head_on").x - ImGui::GetStyle().ItemInnerSpacing.x);
    DrawSliders("water", waterSettings, WaterSettingFields);
    DrawSliders("hdr", HDRPostProcess.Settings(), HdrSettingFields);
    ImGui::PopItemWidth();
    if (ImGui::Button("Save"))
        saveOutcome = SaveSettingsFile();
    if (saveOutcome.empty())
        return;
    ImGui::SameLine();
    ImGui::TextUnformatted(saveOutcome.c_str());
}
