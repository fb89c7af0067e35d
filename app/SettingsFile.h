// The settings file: the water, HDR and display settings a person chose to keep, in the working
// folder, read at start. One `name = value` a line: the names of WaterSettingFields and
// HdrSettingFields with a number, `vsync = on|off` and `render_size = specified|window`; blank
// lines and lines that start with '#' are skipped. A setting the file does not name keeps its
// default.
#pragma once

#include "hdr/HdrSettings.h"
#include "platform/DisplaySettings.h"
#include "water/WaterSettings.h"

#include <cstddef>
#include <string>

constexpr const char* SettingsFileName = "merrowind.settings";
// Far more than the settings take; a longer file is not a settings file.
constexpr std::size_t MaxSettingsFileBytes = 64 * 1024;

// Every setting the file holds.
struct FileSettings
{
    WaterSettings water;
    HdrSettings hdr;
    DisplaySettings display;
};

// The words a display setting is written with, and the value each stands for.
template <typename Value>
struct SettingWord
{
    const char* word;
    Value value;
};

inline constexpr const char* VsyncName = "vsync";
inline constexpr SettingWord<bool> VsyncWords[] = {{"on", true}, {"off", false}};
inline constexpr const char* RenderSizeName = "render_size";
inline constexpr SettingWord<RenderSize> RenderSizeWords[] = {{"specified", RenderSize::Specified},
                                                              {"window", RenderSize::Window}};

// Reads `text`, the contents of `file`, into the settings. At the first line that is not blank, a
// comment, or a known setting set once to a value it may take, it gives false with `error` naming
// the file and that line, and leaves the settings as they were.
bool ParseSettings(const std::string& file, const std::string& text, FileSettings& settings, std::string& error);
// Every setting, a line each, each number written so that it reads back as the same float.
std::string FormatSettings(const FileSettings& settings);

// At start: reads the file into the settings of the water programs, the HDR chain and the
// display, where there is one. A damaged file is reported in one "Error" box and every setting keeps its default.
void LoadSettingsFile();
// Writes the settings in use into the file; gives what to show: where they went, or why not.
std::string SaveSettingsFile();
