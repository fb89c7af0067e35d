// Parses and writes the settings file.
#include "app/SettingsFile.h"

#include "hdr/CHDRPostProcess.h"
#include "platform/MessageBox.h"
#include "shader/CompilerListing.h"
#include "shader/TextFile.h"
#include "water/WaterPrograms.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

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

// The line the byte at `offset` lies on, counted from 1.
int LineOf(const std::string& text, std::size_t offset)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

// Why `number` cannot be the value of the setting `name`, or nothing when it was read into `value`.
std::string ReadNumber(const std::string& name, const std::string& number, const Target& target, float& value)
{
    const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || failure != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return "'" + number + "' is not a number";
    if (value < target.minimum || value > target.maximum)
        return name + " must lie between " + Number(target.minimum) + " and " + Number(target.maximum);
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

bool ParseSettings(const std::string& file, const std::string& text, FileSettings& settings, std::string& error)
{
    if (text.size() > MaxSettingsFileBytes)
    {
        error = ListingLine(file, LineOf(text, MaxSettingsFileBytes),
                            "the file goes on past " + std::to_string(MaxSettingsFileBytes) + " bytes");
        return false;
    }
    FileSettings read = settings;
    std::set<std::string> named;
    std::size_t start = 0;
    for (int line = 1; start <= text.size(); ++line)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string why = ReadLine(text.substr(start, end - start), read, named);
        if (!why.empty())
        {
            error = ListingLine(file, line, why);
            return false;
        }
        start = end + 1;
    }
    settings = read;
    return true;
}

std::string FormatSettings(const FileSettings& settings)
{
    std::string text = "# Merrowind's settings, one 'name = value' a line; a setting left out keeps its default.\n";
    FormatFields(settings.water, WaterSettingFields, text);
    FormatFields(settings.hdr, HdrSettingFields, text);
    FormatWord(VsyncName, settings.display.vsync, VsyncWords, text);
    FormatWord(RenderSizeName, settings.display.renderSize, RenderSizeWords, text);
    return text;
}

namespace
{
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
}

void LoadSettingsFile()
{
    if (StampOf(SettingsFileName) == FileStamp())
        return;
    std::string text;
    std::string error;
    if (!ReadTextFile(SettingsFileName, text, MaxSettingsFileBytes + 1))
        error = ListingLine(SettingsFileName, "the file cannot be read");
    FileSettings settings = SettingsInUse();
    if (error.empty() && ParseSettings(SettingsFileName, text, settings, error))
    {
        UseSettings(settings);
        return;
    }
    MessageBox(nullptr, error + "; every setting keeps its default.", "Error", MB_OK);
}

// Written aside and then renamed over the file, so that a failure leaves the saved settings whole.
std::string SaveSettingsFile()
{
    const std::string text = FormatSettings(SettingsInUse());
    const std::string aside = std::string(SettingsFileName) + ".new";
    std::FILE* file = std::fopen(aside.c_str(), "w");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int failure = errno;
    if (file != nullptr && std::fclose(file) != 0 && written)
    {
        written = false;
        failure = errno;
    }
    if (written && std::rename(aside.c_str(), SettingsFileName) != 0)
    {
        written = false;
        failure = errno;
    }
    if (!written)
    {
        std::remove(aside.c_str());
        return std::string("Could not save to ") + SettingsFileName + ": " + std::strerror(failure);
    }
    return std::string("Saved to ") + SettingsFileName + " in the working folder";
}
