// Validates a technique pass by pass.
#include "shader/CTechnique.h"

#include "shader/CompilerListing.h"

bool CTechnique::Validate(const std::string& file, std::string& listing) const
{
    listing.clear();
    for (const auto& pass : passes)
    {
        std::string log;
        if (pass->Validate(log))
            continue;
        std::string reason = log.empty() ? "the driver gives no reason" : log;
        listing += ListingLine(file, "pass '" + pass->Name() + "' of technique '" + name + "' does not validate: " +
                                         reason) + "\n";
    }
    return listing.empty();
}
