// SPDX-License-Identifier: MIT
// Feeds arbitrary text to the effect parser. Whatever it is, the parser must either accept it
// with no error, every pass naming a vertex and a fragment program of the file, or refuse it with
// at least one error, each on a line of the text and with a message; never reading out of
// bounds, overflowing or leaking.
#include "shader/CEffectParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool HasProgram(const EffectSource& effect, const ProgramReference& reference, ProgramStage stage)
{
    return std::any_of(effect.programs.begin(), effect.programs.end(), [&](const ProgramSource& program) {
        return program.name == reference.name && program.stage == stage;
    });
}

void CheckAccepted(const CEffectParser& parser)
{
    const EffectSource& effect = parser.Effect();
    Require(parser.Errors().empty());
    for (const TechniqueSource& technique : effect.techniques)
        for (const PassSource& pass : technique.passes)
            Require(HasProgram(effect, pass.vertexProgram, ProgramStage::Vertex) &&
                    HasProgram(effect, pass.fragmentProgram, ProgramStage::Fragment));
}

void CheckRefused(const CEffectParser& parser, const std::string& text)
{
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    Require(!parser.Errors().empty());
    for (const EffectError& error : parser.Errors())
        Require(error.line >= 1 && error.line <= lines && !error.message.empty());
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CEffectParser parser;
    if (parser.Parse(text))
        CheckAccepted(parser);
    else
        CheckRefused(parser, text);
    return 0;
}
