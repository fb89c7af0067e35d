// SPDX-License-Identifier: MIT
// Reads an effect file into an EffectSource, checking names and values as it goes.
#include "shader/CEffectParser.h"

#include <algorithm>

namespace
{
template <typename Value, size_t Count>
bool Lookup(const std::pair<const char*, Value> (&table)[Count], const std::string& name, Value& value)
{
    for (const auto& entry : table)
    {
        if (name == entry.first)
        {
            value = entry.second;
            return true;
        }
    }
    return false;
}

const std::pair<const char*, TextureFilter> Filters[] = {
    {"Nearest", TextureFilter::Nearest},
    {"Linear", TextureFilter::Linear},
};

const std::pair<const char*, TextureWrap> Wraps[] = {
    {"Clamp", TextureWrap::Clamp},
    {"ClampToEdge", TextureWrap::ClampToEdge},
    {"Repeat", TextureWrap::Repeat},
};

const std::pair<const char*, RenderState> RenderStates[] = {
    {"DepthTestEnable", RenderState::DepthTest},
    {"DepthMask", RenderState::DepthMask},
    {"BlendEnable", RenderState::Blend},
    {"CullFaceEnable", RenderState::CullFace},
};

const std::pair<const char*, bool> Booleans[] = {
    {"true", true},
    {"false", false},
};

std::string Describe(const Token& token)
{
    switch (token.kind)
    {
    case TokenKind::Name:
    case TokenKind::Symbol: return "'" + token.text + "'";
    case TokenKind::Glsl: return "a GLSL block";
    default: return "the end of the file";
    }
}

const char* StageName(ProgramStage stage)
{
    return stage == ProgramStage::Vertex ? "vertex" : "fragment";
}

template <typename Item>
bool HasName(const std::vector<Item>& items, const std::string& name)
{
    return std::any_of(items.begin(), items.end(), [&](const Item& item) { return item.name == name; });
}
}

bool CEffectParser::Parse(const std::string& text)
{
    CEffectLexer textLexer(text);
    lexer = &textLexer;
    effect = {};
    errors.clear();
    bool complete = true;
    for (Token token = lexer->Next(); complete && token.kind != TokenKind::End; token = lexer->Next())
        complete = ParseItem(token);
    // Programs may be defined after the passes that name them, so the names are checked at the end.
    if (complete)
    {
        for (const TechniqueSource& technique : effect.techniques)
        {
            for (const PassSource& pass : technique.passes)
                CheckPassPrograms(pass);
        }
    }
    lexer = nullptr;
    return errors.empty();
}

bool CEffectParser::ParseItem(const Token& keyword)
{
    if (keyword.kind == TokenKind::Name)
    {
        if (keyword.text == "shared")
            return ParseShared(keyword);
        if (keyword.text == "vertex")
            return ParseProgram(ProgramStage::Vertex);
        if (keyword.text == "fragment")
            return ParseProgram(ProgramStage::Fragment);
        if (keyword.text == "sampler")
            return ParseSampler();
        if (keyword.text == "technique")
            return ParseTechnique();
    }
    return SyntaxError(keyword, "shared, vertex, fragment, sampler or technique");
}

bool CEffectParser::ParseShared(const Token& keyword)
{
    Token glsl = lexer->Next();
    if (glsl.kind != TokenKind::Glsl)
        return SyntaxError(glsl, "a GLSL block %{ ... %} after 'shared'");
    if (effect.shared.line != 0)
        Error(keyword.line, "the effect has a second shared block");
    effect.shared = {glsl.text, glsl.line};
    return true;
}

bool CEffectParser::ParseProgram(ProgramStage stage)
{
    Token name;
    if (!ExpectName("a program name", name))
        return false;
    Token glsl = lexer->Next();
    if (glsl.kind != TokenKind::Glsl)
        return SyntaxError(glsl, "a GLSL block %{ ... %} after the program name");
    if (HasName(effect.programs, name.text))
        Error(name.line, "a second program named '" + name.text + "'");
    effect.programs.push_back({name.text, stage, {glsl.text, glsl.line}});
    return true;
}

bool CEffectParser::ParseSampler()
{
    Token name;
    std::vector<Assignment> assignments;
    if (!ExpectName("a sampler name", name) || !ParseAssignments(assignments))
        return false;
    if (HasName(effect.samplers, name.text))
        Error(name.line, "a second sampler named '" + name.text + "'");
    SamplerSource sampler;
    sampler.name = name.text;
    sampler.line = name.line;
    for (const Assignment& assignment : assignments)
        ApplySamplerState(sampler, assignment);
    effect.samplers.push_back(sampler);
    return true;
}

bool CEffectParser::ParseTechnique()
{
    Token name;
    if (!ExpectName("a technique name", name) || !ExpectSymbol("{", "'{' after the technique name"))
        return false;
    if (HasName(effect.techniques, name.text))
        Error(name.line, "a second technique named '" + name.text + "'");
    TechniqueSource technique;
    technique.name = name.text;
    technique.line = name.line;
    for (Token token = lexer->Next(); !(token.kind == TokenKind::Symbol && token.text == "}"); token = lexer->Next())
    {
        if (token.kind != TokenKind::Name || token.text != "pass")
            return SyntaxError(token, "'pass' or '}'");
        if (!ParsePass(technique))
            return false;
    }
    if (technique.passes.empty())
        Error(technique.line, "technique '" + technique.name + "' has no pass");
    effect.techniques.push_back(technique);
    return true;
}

bool CEffectParser::ParsePass(TechniqueSource& technique)
{
    Token name;
    std::vector<Assignment> assignments;
    if (!ExpectName("a pass name", name) || !ParseAssignments(assignments))
        return false;
    if (HasName(technique.passes, name.text))
        Error(name.line, "a second pass named '" + name.text + "' in technique '" + technique.name + "'");
    PassSource pass;
    pass.name = name.text;
    pass.line = name.line;
    for (const Assignment& assignment : assignments)
        ApplyPassState(pass, assignment);
    technique.passes.push_back(pass);
    return true;
}

bool CEffectParser::ParseAssignments(std::vector<Assignment>& assignments)
{
    if (!ExpectSymbol("{", "'{'"))
        return false;
    for (Token key = lexer->Next(); !(key.kind == TokenKind::Symbol && key.text == "}"); key = lexer->Next())
    {
        if (key.kind != TokenKind::Name)
            return SyntaxError(key, "a state name or '}'");
        Token value;
        if (!ExpectSymbol("=", "'=' after the state name") || !ExpectName("a value", value) ||
            !ExpectSymbol(";", "';' after the value"))
            return false;
        bool repeated = std::any_of(assignments.begin(), assignments.end(),
                                    [&](const Assignment& earlier) { return earlier.key == key.text; });
        if (repeated)
            Error(key.line, "'" + key.text + "' is set twice");
        assignments.push_back({key.text, value.text, key.line});
    }
    return true;
}

bool CEffectParser::ExpectName(const char* what, Token& token)
{
    token = lexer->Next();
    return token.kind == TokenKind::Name || SyntaxError(token, what);
}

bool CEffectParser::ExpectSymbol(const char* symbol, const char* what)
{
    Token token = lexer->Next();
    return (token.kind == TokenKind::Symbol && token.text == symbol) || SyntaxError(token, what);
}

bool CEffectParser::SyntaxError(const Token& found, const char* expected)
{
    if (found.kind == TokenKind::Invalid)
        Error(found.line, found.text);
    else
        Error(found.line, std::string("expected ") + expected + ", found " + Describe(found));
    return false;
}

void CEffectParser::ApplySamplerState(SamplerSource& sampler, const Assignment& assignment)
{
    const std::string& key = assignment.key;
    if (key == "MinFilter" || key == "MagFilter")
    {
        TextureFilter& filter = key == "MinFilter" ? sampler.minFilter : sampler.magFilter;
        if (!Lookup(Filters, assignment.value, filter))
            Error(assignment.line, "'" + assignment.value + "' is not a filter (Nearest or Linear)");
    }
    else if (key == "WrapS" || key == "WrapT")
    {
        TextureWrap& wrap = key == "WrapS" ? sampler.wrapS : sampler.wrapT;
        if (!Lookup(Wraps, assignment.value, wrap))
            Error(assignment.line, "'" + assignment.value + "' is not a wrap mode (Clamp, ClampToEdge or Repeat)");
    }
    else
        Error(assignment.line, "'" + key + "' is not a sampler state (MinFilter, MagFilter, WrapS or WrapT)");
}

void CEffectParser::ApplyPassState(PassSource& pass, const Assignment& assignment)
{
    RenderState state = RenderState::DepthTest;
    bool value = false;
    if (assignment.key == "VertexProgram")
        pass.vertexProgram = {assignment.value, assignment.line};
    else if (assignment.key == "FragmentProgram")
        pass.fragmentProgram = {assignment.value, assignment.line};
    else if (!Lookup(RenderStates, assignment.key, state))
        Error(assignment.line, "'" + assignment.key + "' is not a pass state");
    else if (!Lookup(Booleans, assignment.value, value))
        Error(assignment.line, "'" + assignment.value + "' is not true or false");
    else
        pass.states.emplace_back(state, value);
}

void CEffectParser::CheckPassPrograms(const PassSource& pass)
{
    CheckProgramReference(pass.vertexProgram, ProgramStage::Vertex, pass);
    CheckProgramReference(pass.fragmentProgram, ProgramStage::Fragment, pass);
}

void CEffectParser::CheckProgramReference(const ProgramReference& reference, ProgramStage stage,
                                          const PassSource& pass)
{
    std::string kind = StageName(stage);
    if (reference.name.empty())
    {
        Error(pass.line, "pass '" + pass.name + "' names no " + kind + " program");
        return;
    }
    auto program = std::find_if(effect.programs.begin(), effect.programs.end(),
                                [&](const ProgramSource& candidate) { return candidate.name == reference.name; });
    if (program == effect.programs.end())
        Error(reference.line, "there is no program named '" + reference.name + "'");
    else if (program->stage != stage)
        Error(reference.line, "'" + reference.name + "' is a " + StageName(program->stage) + " program, not a " +
                                  kind + " program");
}

void CEffectParser::Error(int line, std::string message)
{
    errors.push_back({line, std::move(message)});
}
