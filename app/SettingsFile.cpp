// SPDX-License-Identifier: MIT
// Parses and writes the settings file.
#include "app/SettingsFile.h"

#include "hdr/CHDRPostProcess.h"
#include "platform/CUserFolders.h"
#include "platform/MessageBox.h"
#include "platform/ReadableText.h"
#include "platform/TextFile.h"
#include "shader/FileMessage.h"
#include "water/WaterPrograms.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include <unistd.h>

namespace
{
// The number a name sets: a water or an HDR one.
struct Target
{
    float* value = nullptr;
    float minimum = 0.0f;
    float maximum = 0.0f;
};

template <typename Settings, std::size_t Count>
void FindField(const std::string& name, Settings& settings, const UniformSetting<Settings> (&fields)[Count],
               Target& target)
{
    for (const UniformSetting<Settings>& field : fields)
    {
        if (name == field.name)
            target = {&(settings.*field.value), field.minimum, field.maximum};
    }
}

// The shortest text that reads back as the same float.
std::string Number(float value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

template <typename Settings, std::size_t Count>
void FormatFields(const Settings& settings, const UniformSetting<Settings> (&fields)[Count], std::string& text)
{
    for (const UniformSetting<Settings>& field : fields)
        text += std::string(field.name) + " = " + Number(settings.*field.value) + "\n";
}

template <typename Value, std::size_t Count>
void FormatWord(const char* name, Value value, const SettingWord<Value> (&words)[Count], std::string& text)
{
    for (const SettingWord<Value>& word : words)
    {
        if (word.value == value)
            text += std::string(name) + " = " + word.word + "\n";
    }
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool IsText(const std::string& line)
{
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == '\t' || c == '\r' || (c >= ' ' && c <= '~'); });
}

// Why `number` cannot be the value of the setting `name`, or nothing when it was read into `value`.
// A leading '+' is taken, as editors and other programs write it. The float is read from the text
// itself, since rounding a double could round twice; the double read beside it tells a number past
// a float's reach, such as 1e39, which is out of range, from no number at all.
std::string ReadNumber(const std::string& name, const std::string& number, const Target& target, float& value)
{
    const bool plus = number.size() > 1 && number[0] == '+' && number[1] != '-';
    const char* first = number.data() + (plus ? 1 : 0);
    const char* last = number.data() + number.size();
    double wide = 0.0;
    const auto [end, failure] = std::from_chars(first, last, wide);
    if (first == last || end != last || std::isnan(wide) ||
        (failure != std::errc() && failure != std::errc::result_out_of_range))
        return "'" + number + "' is not a number";
    float narrow = 0.0f;
    const bool fits = std::from_chars(first, last, narrow).ec == std::errc();
    const double read = fits ? narrow : wide;
    if (failure != std::errc() || read < target.minimum || read > target.maximum)
        return "'" + number + "' is out of range: " + name + " must lie between " + Number(target.minimum) + " and " +
               Number(target.maximum);
    value = static_cast<float>(read);
    return "";
}

// Why `text` is none of the words of the setting `name`, or nothing when it was read into `value`.
template <typename Value, std::size_t Count>
std::string ReadWord(const std::string& name, const std::string& text, const SettingWord<Value> (&words)[Count],
                     Value& value)
{
    std::string choices;
    for (const SettingWord<Value>& word : words)
    {
        if (text == word.word)
        {
            value = word.value;
            return "";
        }
        choices += std::string(choices.empty() ? "" : " or ") + word.word;
    }
    return name + " must be " + choices;
}

// Why `value` cannot be read into the setting `name`, or nothing when it was; a setting takes one
// value, so a name in `named` already is refused.
std::string ReadSetting(const std::string& name, const std::string& value, FileSettings& settings,
                        std::set<std::string>& named)
{
    Target target;
    FindField(name, settings.water, WaterSettingFields, target);
    FindField(name, settings.hdr, HdrSettingFields, target);
    float number = 0.0f;
    DisplaySettings display = settings.display;
    std::string why;
    if (target.value != nullptr)
        why = ReadNumber(name, value, target, number);
    else if (name == VsyncName)
        why = ReadWord(name, value, VsyncWords, display.vsync);
    else if (name == RenderSizeName)
        why = ReadWord(name, value, RenderSizeWords, display.renderSize);
    else if (name == PictureName)
        why = ReadWord(name, value, PictureWords, display.picture);
    else
        return "there is no setting '" + name + "'";
    if (!why.empty())
        return why;
    if (!named.insert(name).second)
        return name + " is set twice";
    if (target.value != nullptr)
        *target.value = number;
    settings.display = display;
    return "";
}

// Why `line` cannot be read into the settings, or nothing when it was.
std::string ReadLine(const std::string& line, FileSettings& settings, std::set<std::string>& named)
{
    if (!IsText(line))
        return "this is not text";
    const std::string content = Trimmed(line);
    if (content.empty() || content[0] == '#')
        return "";
    const auto equals = content.find('=');
    if (equals == std::string::npos)
        return "expected 'name = value'";
    return ReadSetting(Trimmed(content.substr(0, equals)), Trimmed(content.substr(equals + 1)), settings, named);
}
}

std::string ParseSettings(const std::string& file, const std::string& text, FileSettings& settings)
{
    // Editors that save UTF-8 may begin the file with a byte-order mark.
    const std::string mark = "\xEF\xBB\xBF";
    std::size_t start = text.compare(0, mark.size(), mark) == 0 ? mark.size() : 0;
    std::string listing;
    int damaged = 0;
    std::set<std::string> named;
    for (int line = 1; start <= text.size(); ++line)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const bool tooLong = text.size() > MaxSettingsFileBytes && end >= MaxSettingsFileBytes;
        const std::string why = tooLong ? "the file goes on past " + std::to_string(MaxSettingsFileBytes) +
                                              " bytes; from here on nothing is read"
                                        : ReadLine(text.substr(start, end - start), settings, named);
        if (!why.empty() && ++damaged <= MaxReportedLines)
            listing += FileMessage(file, line, why) + "\n";
        if (tooLong)
            break;
        start = end + 1;
    }
    if (damaged > MaxReportedLines)
        listing += FileMessage(file, std::to_string(damaged - MaxReportedLines) + " more lines cannot be read") + "\n";
    return listing;
}

std::string FormatSettings(const FileSettings& settings)
{
    std::string text = "# Merrowind's settings, one 'name = value' a line; a setting left out keeps its default.\n";
    FormatFields(settings.water, WaterSettingFields, text);
    FormatFields(settings.hdr, HdrSettingFields, text);
    FormatWord(VsyncName, settings.display.vsync, VsyncWords, text);
    FormatWord(RenderSizeName, settings.display.renderSize, RenderSizeWords, text);
    FormatWord(PictureName, settings.display.picture, PictureWords, text);
    return text;
}

namespace
{
// The file the load found damaged: its first save keeps it aside. Empty when it was whole.
std::string damagedFile;
// What the load could not read, until it is shown.
std::string loadReport;

FileSettings SettingsInUse()
{
    return {waterSettings, HDRPostProcess.Settings(), displaySettings};
}

void UseSettings(const FileSettings& settings)
{
    waterSettings = settings.water;
    HDRPostProcess.Settings() = settings.hdr;
    displaySettings = settings.display;
}

// The damaged file, kept as `path`.bak beside it: linked, not copied, so that it stays exactly what
// it was, whatever it holds, and an existing backup is never replaced. Anything but a file (a
// folder, a pipe) holds no settings to keep. Why not, or nothing.
std::string KeepDamagedFile(const std::string& path)
{
    const std::string backup = path + ".bak";
    std::error_code unknown;
    if (!std::filesystem::is_regular_file(path, unknown))
        return "";
    if (link(path.c_str(), backup.c_str()) == 0 || errno == ENOENT)
        return "";
    if (errno == EEXIST)
        return "the damaged file would be lost, and " + backup + ", where it is kept, exists already";
    return "the damaged file cannot be kept as " + backup + ": " + std::strerror(errno);
}

// The path from the root, so that a message says where, or as given when the working folder is gone.
std::string FullPath(const std::string& path)
{
    std::error_code unknown;
    const std::filesystem::path full = std::filesystem::absolute(path, unknown);
    return unknown ? path : full.string();
}

// What reading the file at `path` into `settings` left out, for a box; nothing where all of it was
// read, or there is no file.
std::string ReadSettingsFile(const std::string& path, FileSettings& settings)
{
    if (StampOf(path) == FileStamp())
        return "";
    std::string text;
    std::string why;
    if (!ReadTextFile(path, text, MaxSettingsFileBytes + 1, why))
        return FileMessage(path, "the file cannot be read: " + why) + "; every setting keeps its default.";
    const std::string listing = ParseSettings(path, text, settings);
    if (listing.empty())
        return "";
    if (text.size() > MaxSettingsFileBytes)
        return listing + "Each line above is left out, as is everything past the file's first " +
               std::to_string(MaxSettingsFileBytes) + " bytes; every other line is read.";
    return listing + "Each line above is left out; the rest of the file is read.";
}
}

std::string SettingsFilePath()
{
    return CUserFolders::OfThisProcess().Config() + "/" + SettingsFileName;
}

void LoadSettingsFile(const std::string& path)
{
    FileSettings settings = SettingsInUse();
    loadReport = ReadSettingsFile(path, settings);
    UseSettings(settings);
    damagedFile = loadReport.empty() ? "" : path;
}

void ReportSettingsFile()
{
    if (loadReport.empty())
        return;
    const std::string report = loadReport;
    loadReport.clear();
    MessageBox(nullptr, report, "Error", MB_OK);
}

std::string SaveSettingsFile(const std::string& path)
{
    std::string why = path == damagedFile ? KeepDamagedFile(path) : "";
    const bool saved = why.empty() && ReplaceFile(path, FormatSettings(SettingsInUse()), why);
    const std::string where = FullPath(path);
    if (!saved)
    {
        // Said where the user can read it after the program has ended, too; the path comes from
        // the environment, and may be of any length.
        const std::string failure = " not save to " + where + ": " + why;
        std::fprintf(stderr, "merrowind: %s\n", CutText("could" + failure).c_str());
        return CutText("Could" + failure);
    }
    damagedFile.clear();
    return CutText("Saved to " + where);
}
