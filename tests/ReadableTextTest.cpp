// SPDX-License-Identifier: MIT
// Messages cut and wrapped for a person: the widths and counts are the ones a box of normal size
// shows, worked out by hand for each case, with characters of several bytes at every cut.
#include "platform/ReadableText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const std::string Dots = "...";
// Two bytes in UTF-8: a cut that counts bytes, or lands inside one, shows.
const std::string Umlaut = "\xC3\xA4";

std::string Repeated(const std::string& piece, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}
}

TEST(ReadableText, CutsLongLinesInTheMiddleWrapsAtSpacesAndCountsCharactersNotBytes)
{
    const std::string word100 = Repeated("w", 100);
    const struct
    {
        const char* name;
        std::string text, readable;
    } cases[] = {
        {"short lines stay", "Error: f(2): '0,5' is not a number\nEach line above is left out.\n",
         "Error: f(2): '0,5' is not a number\nEach line above is left out.\n"},
        {"control characters", std::string("a\tb\0c\x1b[2Jd\r", 11), "a b?c?[2Jd?"},
        {"120 characters of two bytes are one line", Repeated(Umlaut, 120), Repeated(Umlaut, 120)},
        {"121 are two", Repeated(Umlaut, 121), Repeated(Umlaut, 120) + "\n" + Umlaut},
        {"at the last space within the width", word100 + " " + Repeated("x", 30) + " end",
         word100 + "\n" + Repeated("x", 30) + " end"},
        // 250 + 2 + 250 characters: the first 200, "...", the last 97 (300 in all), then wrapped.
        {"a long line keeps its beginning and its end", Repeated(Umlaut, 250) + ": " + Repeated("b", 250),
         Repeated(Umlaut, 120) + "\n" + Repeated(Umlaut, 80) + Dots + Repeated("b", 37) + "\n" + Repeated("b", 60)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadableText(c.text), c.readable) << c.name;
}

// A 60 KB settings line and a listing of a hundred lines both fit a box: 24 lines at most, the
// last of them counting what was left out. Unwrapped, for a panel, the text keeps whole lines of
// at most the 24 * 120 characters that box holds.
TEST(ReadableText, AnyTextFitsABoxOfNormalSize)
{
    std::string listing;
    for (int line = 1; line <= 100; ++line)
        listing += "f(" + std::to_string(line) + "): error\n";
    const std::string readable = ReadableText(listing);
    EXPECT_EQ(readable.substr(readable.rfind("f(")), "f(23): error\n" + Dots + " and 77 more lines\n");
    EXPECT_EQ(CutText(listing), listing) << "1,292 characters";
    // Lines of 300 characters and a line break: nine fit in 2,880, a tenth would not.
    const std::string wide = Repeated(Repeated(Umlaut, 300) + "\n", 12);
    EXPECT_EQ(CutText(wide), Repeated(Repeated(Umlaut, 300) + "\n", 9) + Dots + " and 3 more lines\n");

    const std::string line = "f(1): '" + std::string(60 * 1024, '9') + "' is not a number";
    const std::string cut = ReadableText(line);
    EXPECT_EQ(CutText(line), "f(1): '" + std::string(193, '9') + Dots + std::string(80, '9') + "' is not a number");
    // The space after "f(1):" is the last within the first line's width.
    EXPECT_EQ(cut, "f(1):\n'" + std::string(119, '9') + "\n" + std::string(74, '9') + Dots + std::string(43, '9') +
                       "\n" + std::string(37, '9') + "' is not a number");
}
