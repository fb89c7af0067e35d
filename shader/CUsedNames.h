// SPDX-License-Identifier: MIT
// The names of a program's or an effect's parameters or techniques that the scene has looked up
// and found: what it draws with. A rebuilt version must offer every technique; one that lacks any
// would build and yet leave the scene drawing without it, as an effect whose technique was
// renamed draws flat grey. A version may leave out parameters, as one loaded at start-up may: what
// the scene sets them to goes nowhere, and a note says so.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CUsedNames
{
public:
    // Keeps `name` once; returns `found` so that a lookup can pass its result through.
    template <typename Found>
    Found* Record(const std::string& name, Found* found)
    {
        if (found != nullptr)
            Add(name);
        return found;
    }
    // One listing line for each name that `offers` says is missing, as
    // "FILE: the OWNER has no KIND 'NAME', which the scene uses".
    std::string Lacking(const std::string& file, const std::string& owner, const std::string& kind,
                        const std::function<bool(const std::string&)>& offers) const;
    // One note for each parameter name that `offers` says is missing, as
    // "FILE: note: this version leaves out the parameter 'NAME', which the scene sets".
    std::string LeftOut(const std::string& file, const std::function<bool(const std::string&)>& offers) const;

private:
    void Add(const std::string& name);
    // One listing line, `line(name)`, for each name that `offers` says is missing.
    std::string EachMissing(const std::function<bool(const std::string&)>& offers,
                            const std::function<std::string(const std::string&)>& line) const;

    std::vector<std::string> names;
};
