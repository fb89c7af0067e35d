// SPDX-License-Identifier: MIT
// Sliders over the settings of the water programs and the HDR chain, and the display's choices.
#include "inspector/CSettingsPanel.h"

#include "app/SettingsFile.h"
#include "hdr/CHDRPostProcess.h"
#include "water/WaterPrograms.h"

#include <imgui.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace
{
// A button that puts a setting back to its default, greyed out while it holds it already.
template <typename Value>
void ResetButton(Value& value, const Value& fallback)
{
    ImGui::BeginDisabled(value == fallback);
    if (ImGui::SmallButton("Reset"))
        value = fallback;
    ImGui::EndDisabled();
    ImGui::SameLine();
}

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
        ResetButton(value, defaults.*field.value);
        ImGui::SliderFloat(std::strchr(field.name, '.') + 1, &value, field.minimum, field.maximum, "%.4g",
                           ImGuiSliderFlags_AlwaysClamp);
        ImGui::PopID();
    }
}

// A choice among the words the settings file writes for the value, beside its reset.
template <typename Value, std::size_t Count>
void DrawChoice(const char* name, Value& value, const Value& fallback, const SettingWord<Value> (&words)[Count])
{
    ImGui::PushID(name);
    ResetButton(value, fallback);
    int chosen = 0;
    const char* labels[Count];
    for (std::size_t i = 0; i < Count; ++i)
    {
        labels[i] = words[i].word;
        if (words[i].value == value)
            chosen = static_cast<int>(i);
    }
    // Wide enough for the longest word beside its arrow, wider than the sliders need.
    float widest = 0.0f;
    for (const char* label : labels)
        widest = std::max(widest, ImGui::CalcTextSize(label).x);
    ImGui::SetNextItemWidth(widest + ImGui::GetFrameHeight() + 2.0f * ImGui::GetStyle().FramePadding.x);
    if (ImGui::Combo(name, &chosen, labels, static_cast<int>(Count)))
        value = words[chosen].value;
    ImGui::PopID();
}

void DrawDisplayChoices()
{
    ImGui::TextDisabled("display");
    const DisplaySettings defaults;
    ImGui::PushID(VsyncName);
    ResetButton(displaySettings.vsync, defaults.vsync);
    ImGui::Checkbox(VsyncName, &displaySettings.vsync);
    ImGui::PopID();
    DrawChoice(RenderSizeName, displaySettings.renderSize, defaults.renderSize, RenderSizeWords);
    DrawChoice(PictureName, displaySettings.picture, defaults.picture, PictureWords);
}
}

void CSettingsPanel::Draw()
{
    // The sliders leave room for the longest name beside them.
    ImGui::PushItemWidth(-ImGui::CalcTextSize("reflectance_head_on").x - ImGui::GetStyle().ItemInnerSpacing.x);
    DrawSliders("water", waterSettings, WaterSettingFields);
    DrawSliders("hdr", HDRPostProcess.Settings(), HdrSettingFields);
    DrawDisplayChoices();
    ImGui::PopItemWidth();
    if (ImGui::Button("Save"))
        saveOutcome = SaveSettingsFile(SettingsFilePath());
    // Below the button, wrapped: a failure's reason comes at the end of a long line.
    if (!saveOutcome.empty())
        ImGui::TextWrapped("%s", saveOutcome.c_str());
}
