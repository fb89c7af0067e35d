// Turns driver compile logs and parse errors into the runtime's listing lines.
#include "shader/CompilerListing.h"

#include <regex>
#include <sstream>

namespace
{
// An optional severity word, the source string number, the line as ":L" or "(L)", an optional
// column, a colon, then the message.
const std::regex driverLine(R"(^(?:(ERROR|WARNING): )?\d+(?::(\d+)|\((\d+)\))(?:\(\d+\))?\s*:\s*(.*)$)");

std::string ListDriverLine(const std::string& file, const std::string& text)
{
    std::smatch match;
    if (!std::regex_match(text, match, driverLine))
        return ListingLine(file, text);
    std::string message = match[4];
    if (match[1] == "ERROR")
        message = "error: " + message;
    else if (match[1] == "WARNING")
        message = "warning: " + message;
    int line = std::stoi(match[2].matched ? match[2].str() : match[3].str());
    return ListingLine(file, line, message);
}
}

std::string ListingLine(const std::string& file, int line, const std::string& message)
{
    return file + "(" + std::to_string(line) + "): " + message;
}

std::string ListingLine(const std::string& file, const std::string& message)
{
    return file + ": " + message;
}

std::string ListCompilerLog(const std::string& file, const std::string& log)
{
    std::istringstream lines(log);
    std::string listing;
    std::string text;
    while (std::getline(lines, text))
    {
        text.erase(text.find_last_not_of(" \t\r") + 1);
        if (text.empty())
            continue;
        listing += ListDriverLine(file, text) + "\n";
    }
    return listing;
}
