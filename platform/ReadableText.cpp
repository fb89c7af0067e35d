// SPDX-License-Identifier: MIT
#include "platform/ReadableText.h"

#include <algorithm>
#include <vector>

namespace
{
// Three full stops rather than the one character "…": SDL's X11 box and Dear ImGui's own font draw
// only Latin-1, where "…" would show as three strange glyphs or a '?'.
constexpr const char* Ellipsis = "...";
constexpr std::size_t EllipsisLength = 3;
// What a cut line keeps of its beginning; the end takes the rest of ReadableLineLength, less the "...".
constexpr std::size_t KeptBeginning = ReadableLineLength * 2 / 3;

bool Continues(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

std::size_t Characters(const std::string& text)
{
    std::size_t count = 0;
    for (char byte : text)
        count += Continues(byte) ? 0 : 1;
    return count;
}

// The byte at which the character numbered `count` (from 0) begins, or the text's size.
std::size_t ByteOf(const std::string& text, std::size_t count)
{
    std::size_t byte = 0;
    for (std::size_t seen = 0; byte < text.size(); ++byte)
    {
        if (!Continues(text[byte]) && seen++ == count)
            return byte;
    }
    return text.size();
}

// A control character would end the text early where it is read as a C string (a NUL), or act
// on the terminal that shows the standard error; a tab is a space.
std::string Printable(std::string line)
{
    for (char& byte : line)
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F)
            byte = byte == '\t' ? ' ' : '?';
    return line;
}

std::string Shortened(const std::string& line)
{
    const std::size_t characters = Characters(line);
    if (characters <= ReadableLineLength)
        return line;
    const std::size_t kept = ReadableLineLength - EllipsisLength - KeptBeginning;
    return line.substr(0, ByteOf(line, KeptBeginning)) + Ellipsis + line.substr(ByteOf(line, characters - kept));
}

// Breaks at the last space that leaves a line no wider than ReadableWidth, else after that many
// characters (a path or a number has no space to break at).
void Wrap(std::string line, std::vector<std::string>& lines)
{
    while (Characters(line) > ReadableWidth)
    {
        const std::size_t limit = ByteOf(line, ReadableWidth);
        const std::size_t space = line.rfind(' ', limit);
        const bool atSpace = space != std::string::npos && space > 0;
        lines.push_back(line.substr(0, atSpace ? space : limit));
        line.erase(0, atSpace ? space + 1 : limit);
    }
    lines.push_back(line);
}

// The lines of `text`, each printable and cut, and whether it ended with a line break.
std::vector<std::string> Lines(const std::string& text, bool& endsLine)
{
    endsLine = !text.empty() && text.back() == '\n';
    const std::string body = endsLine ? text.substr(0, text.size() - 1) : text;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= body.size();)
    {
        const std::size_t end = std::min(body.find('\n', start), body.size());
        lines.push_back(Shortened(Printable(body.substr(start, end - start))));
        start = end + 1;
    }
    return lines;
}

// The first `kept` lines, then one that counts the rest.
void Keep(std::vector<std::string>& lines, std::size_t kept)
{
    const std::size_t more = lines.size() - kept;
    lines.resize(kept);
    lines.push_back(std::string(Ellipsis) + " and " + std::to_string(more) + " more lines");
}

std::string Joined(const std::vector<std::string>& lines, bool endsLine)
{
    std::string text = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i)
        text += "\n" + lines[i];
    return endsLine ? text + "\n" : text;
}
}

std::string CutText(const std::string& text)
{
    bool endsLine = false;
    std::vector<std::string> lines = Lines(text, endsLine);
    std::size_t characters = 0, kept = 0;
    while (kept < lines.size() && (characters += Characters(lines[kept]) + 1) <= ReadableLines * ReadableWidth)
        ++kept;
    if (kept < lines.size())
        Keep(lines, kept);
    return Joined(lines, endsLine);
}

std::string ReadableText(const std::string& text)
{
    bool endsLine = false;
    std::vector<std::string> wrapped;
    for (const std::string& line : Lines(text, endsLine))
        Wrap(line, wrapped);
    if (wrapped.size() > ReadableLines)
        Keep(wrapped, ReadableLines - 1);
    return Joined(wrapped, endsLine);
}
