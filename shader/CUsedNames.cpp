// SPDX-License-Identifier: MIT
// Keeps the names the scene uses and lists those a rebuilt version lacks.
#include "shader/CUsedNames.h"

#include "shader/FileMessage.h"

#include <algorithm>

void CUsedNames::Add(const std::string& name)
{
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

std::string CUsedNames::Lacking(const std::string& file, const std::string& owner, const std::string& kind,
                                const std::function<bool(const std::string&)>& offers) const
{
    return EachMissing(offers, [&](const std::string& name)
                       { return FileMessage(file, "the " + owner + " has no " + kind + " '" + name + "', which the scene uses"); });
}

std::string CUsedNames::LeftOut(const std::string& file, const std::function<bool(const std::string&)>& offers) const
{
    return EachMissing(offers, [&](const std::string& name)
                       { return FileMessage(file, "note: this version leaves out the parameter '" + name + "', which the scene sets"); });
}

std::string CUsedNames::EachMissing(const std::function<bool(const std::string&)>& offers,
                                    const std::function<std::string(const std::string&)>& line) const
{
    std::string listing;
    for (const std::string& name : names)
    {
        if (!offers(name))
            listing += line(name) + "\n";
    }
    return listing;
}
