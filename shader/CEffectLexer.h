// SPDX-License-Identifier: MIT
// Splits an effect file into tokens: names, the symbols { } = ;, and GLSL blocks taken verbatim
// from between %{ and %}; a %} inside a GLSL comment or string belongs to the code. Line
// comments (//) outside GLSL blocks are skipped.
#pragma once

#include <string>

enum class TokenKind
{
    Name,
    Symbol,
    Glsl,
    End,
    Invalid,  // text says what is wrong
};

struct Token
{
    TokenKind kind = TokenKind::End;
    std::string text;
    int line = 1;  // for a GLSL block, the line on which its code begins
};

class CEffectLexer
{
public:
    explicit CEffectLexer(const std::string& text) : text(text) {}

    Token Next();

private:
    void SkipSpaceAndComments();
    bool At(const char* symbol) const;
    void Advance(size_t count);
    Token ReadName();
    Token ReadGlsl();
    // Where the GLSL block starting at `from` ends (its %}), or npos when it does not.
    size_t GlslBlockEnd(size_t from) const;

    const std::string& text;
    size_t position = 0;
    int line = 1;
};
