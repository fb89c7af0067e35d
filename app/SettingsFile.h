// SPDX-License-Identifier: MIT
// The settings file: the water, HDR and display settings a person chose to keep, in the user's
// configuration folder, read at start.
// One `name = value` a line: the names of WaterSettingFields and HdrSettingFields with a number,
// `vsync = on|off`, `render_size = specified|window` and `picture = specified|best`; blank lines and lines that start with '#'
// are skipped, and so is a UTF-8 byte-order mark. A setting the file does not name keeps its
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
// A person reads the damaged lines in a box: a file of anything but settings gives a count after these.
constexpr int MaxReportedLines = 10;

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
inline constexpr const char* PictureName = "picture";
inline constexpr SettingWord<Picture> PictureWords[] = {{"specified", Picture::Specified}, {"best", Picture::Best}};

// Reads `text`, the contents of `file`, into the settings: every line that is blank, a comment, or
// a known setting set once to a value it may take; the settings the other lines name keep the
// values they had. Gives a listing line naming the file and the line for each line it could not
// read, the first MaxReportedLines of them, or nothing when it read every line. Past
// MaxSettingsFileBytes, the line that crosses the limit is the last one it looks at.
std::string ParseSettings(const std::string& file, const std::string& text, FileSettings& settings);
// Every setting, a line each, each number written so that it reads back as the same float.
std::string FormatSettings(const FileSettings& settings);

// Where the settings file is read from and saved to: the one place that says so.
std::string SettingsFilePath();
// At start: reads the file at `path`, where there is one, into the settings of the water programs,
// the HDR chain and the display. Every line it can read takes effect; what it cannot read waits
// for ReportSettingsFile.
void LoadSettingsFile(const std::string& path);
// Shows what the load could not read in one "Error" box, once. Called after the first frame, so that
// the box stands over the picture the settings give, not over a window still black.
void ReportSettingsFile();
// Writes the settings in use into the file at `path` (see ReplaceFile: its folder is made where it
// is missing); gives what to show: where they went, or why not, which also goes to the standard
// error. Before the first save over a file the load found damaged, that file is kept as `path`.bak.
std::string SaveSettingsFile(const std::string& path);
