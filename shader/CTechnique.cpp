// SPDX-License-Identifier: MIT
// Validates a technique pass by pass.
#include "shader/CTechnique.h"

#include "shader/CEffect.h"
#include "shader/FileMessage.h"

bool CTechnique::Validate(std::string& listing) const
{
    listing.clear();
    for (const auto& pass : passes)
    {
        std::string log;
        if (pass->Validate(log))
            continue;
        std::string which = "pass '" + pass->Name() + "' of technique '" + name + "'";
        std::string reason = log.empty() ? "the driver gives no reason" : log;
        listing += FileMessage(effect.File(), which + " does not validate: " + reason) + "\n";
    }
    return listing.empty();
}
