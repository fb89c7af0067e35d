// SPDX-License-Identifier: MIT
// The effect file's tokens, with the line each one starts on.
#include "shader/CEffectLexer.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace
{
bool IsNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsNamePart(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Listings are read by people, in a message box: a byte that is no printable
// character (a zero byte would even cut the text short) is written as its code.
std::string Printable(char c)
{
    if (std::isprint(static_cast<unsigned char>(c)))
        return std::string(1, c);
    char code[8];
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    return code;
}
}

Token CEffectLexer::Next()
{
    SkipSpaceAndComments();
    if (position == text.size())
        return {TokenKind::End, "", line};
    if (At("%{"))
        return ReadGlsl();
    char c = text[position];
    if (IsNameStart(c))
        return ReadName();
    Token token{TokenKind::Symbol, std::string(1, c), line};
    if (c != '{' && c != '}' && c != '=' && c != ';')
        token = {TokenKind::Invalid, "unexpected character '" + Printable(c) + "'", line};
    Advance(1);
    return token;
}

void CEffectLexer::SkipSpaceAndComments()
{
    while (position < text.size())
    {
        if (At("//"))
        {
            while (position < text.size() && text[position] != '\n')
                Advance(1);
        }
        else if (std::isspace(static_cast<unsigned char>(text[position])))
            Advance(1);
        else
            return;
    }
}

bool CEffectLexer::At(const char* symbol) const
{
    return text.compare(position, std::char_traits<char>::length(symbol), symbol) == 0;
}

void CEffectLexer::Advance(size_t count)
{
    for (; count > 0 && position < text.size(); --count, ++position)
    {
        if (text[position] == '\n')
            ++line;
    }
}

Token CEffectLexer::ReadName()
{
    size_t start = position;
    while (position < text.size() && IsNamePart(text[position]))
        ++position;
    return {TokenKind::Name, text.substr(start, position - start), line};
}

Token CEffectLexer::ReadGlsl()
{
    int startLine = line;
    Advance(2);
    size_t end = GlslBlockEnd(position);
    if (end == std::string::npos)
    {
        position = text.size();
        return {TokenKind::Invalid, "the GLSL block has no closing %}", startLine};
    }
    Token token{TokenKind::Glsl, text.substr(position, end - position), startLine};
    Advance(end + 2 - position);
    return token;
}

// Comments and strings are GLSL's own, so a %} in them is code, not the end of the block.
size_t CEffectLexer::GlslBlockEnd(size_t from) const
{
    for (size_t at = from; at < text.size(); ++at)
    {
        if (text.compare(at, 2, "%}") == 0)
            return at;
        size_t last = at;  // the last character of a comment or string that starts here
        if (text.compare(at, 2, "//") == 0)
            last = text.find('\n', at);
        else if (text.compare(at, 2, "/*") == 0)
            last = text.find("*/", at + 2) + 1;
        else if (text[at] == '"')
            last = text.find_first_of("\"\n", at + 1);
        if (last == std::string::npos || last < at)  // not found (npos + 1 wraps to 0)
            return std::string::npos;
        at = last;
    }
    return std::string::npos;
}
