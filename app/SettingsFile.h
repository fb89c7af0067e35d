// The settings file: the water and HDR settings a person chose to keep, in the working folder,
// read at start. One `name = value` a line, the names of WaterSettingFields and HdrSettingFields;
// blank lines and lines that start with '#' are skipped. A setting the file does not name keeps
// its default.
#pragma once

#include "hdr/HdrSettings.h"
#include "water/WaterSettings.h"

#include <cstddef>
#include <string>

constexpr const char* SettingsFileName = "merrowind.settings";
// Far more than the settings take; a longer file is not a settings file.
constexpr std::size_t MaxSettingsFileBytes = 64 * 1024;

// Reads `text`, the contents of `file`, into the settings. At the first line that is not blank, a
// comment, or a known setting set once to a number in its range, it gives false with `error`
// naming the file and that line, and leaves both settings as they were.
bool ParseSettings(const std::string& file, const std::string& text, WaterSettings& water, HdrSettings& hdr,
                   std::string& error);
// Every setting, a line each, each number written so that it reads back as the same float.
std::string FormatSettings(const WaterSettings& water, const HdrSettings& hdr);

// At start: reads the file into the settings of the water programs and the HDR chain, where
// there is one. A damaged file is reported in one "Error" box and every setting keeps its default.
void LoadSettingsFile();
// Writes the settings in use into the file; gives what to show: where they went, or why not.
std::string SaveSettingsFile();
