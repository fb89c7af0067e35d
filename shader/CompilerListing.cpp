// SPDX-License-Identifier: MIT
// Turns driver compile logs and parse errors into the runtime's listing lines. The driver's lines
// are read by a scanner that looks at each character once, with no recursion and no conversion
// that can throw.
#include "shader/CompilerListing.h"

#include "shader/FileMessage.h"

#include <climits>

namespace
{
const char* const Shortened = " [...]";

// Reads a line of a driver log from its start: an optional severity word, the source string
// number, the line as ":L" or "(L)", an optional column, a colon, then the message.
class CDriverLineScanner
{
public:
    explicit CDriverLineScanner(const std::string& text) : text(text) {}

    // False when the text is not in this form or its line number is no line of a file.
    bool Scan()
    {
        severity = Skip("ERROR: ") ? "error: " : Skip("WARNING: ") ? "warning: " : "";
        if (!SkipNumber())
            return false;
        if (Skip(":"))
        {
            if (!ReadNumber(line))
                return false;
        }
        else if (!Skip("(") || !ReadNumber(line) || !Skip(")"))
            return false;
        if (Skip("(") && (!SkipNumber() || !Skip(")")))
            return false;
        SkipSpaces();
        if (!Skip(":"))
            return false;
        SkipSpaces();
        return true;
    }

    int Line() const { return line; }
    std::string Message() const { return severity + text.substr(position); }

private:
    bool Skip(const char* word)
    {
        const std::string::size_type length = std::char_traits<char>::length(word);
        if (text.compare(position, length, word) != 0)
            return false;
        position += length;
        return true;
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool SkipNumber()
    {
        const std::string::size_type start = position;
        while (position < text.size() && IsDigit(text[position]))
            ++position;
        return position > start;
    }

    // A line number that does not fit an int fails rather than wrapping.
    bool ReadNumber(int& number)
    {
        long long value = 0;
        bool fits = true;
        const std::string::size_type start = position;
        for (; position < text.size() && IsDigit(text[position]); ++position)
        {
            value = value * 10 + (text[position] - '0');
            fits = fits && value <= INT_MAX;
            if (!fits)
                value = 0;
        }
        number = static_cast<int>(value);
        return position > start && fits;
    }

    void SkipSpaces()
    {
        while (position < text.size() && (text[position] == ' ' || text[position] == '\t'))
            ++position;
    }

    const std::string& text;
    std::string::size_type position = 0;
    std::string severity;
    int line = 0;
};

std::string Shorten(const std::string& message)
{
    if (message.size() <= MaxMessageLength)
        return message;
    return message.substr(0, MaxMessageLength) + Shortened;
}

std::string ListDriverLine(const std::string& file, const std::string& text)
{
    CDriverLineScanner scanner(text);
    if (!scanner.Scan())
        return FileMessage(file, Shorten(text));
    return FileMessage(file, scanner.Line(), Shorten(scanner.Message()));
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}
}

std::string ListCompilerLog(const std::string& file, const std::string& log)
{
    std::string listing;
    std::size_t lines = 0;
    std::string::size_type start = 0;
    while (start < log.size() && lines < MaxListingLines)
    {
        std::string::size_type end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        std::string::size_type last = end;
        while (last > start && IsBlank(log[last - 1]))
            --last;
        if (last > start)
        {
            listing += ListDriverLine(file, log.substr(start, last - start)) + "\n";
            ++lines;
        }
        start = end + 1;
    }
    return listing;
}
