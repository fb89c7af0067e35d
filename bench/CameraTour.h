// SPDX-License-Identifier: MIT
// The camera tour: fixed views that together cover what a user sees, each with a name. The
// benchmark measures every one of them and merrowind-snapshot renders one by name, so a view is
// defined here once. Each was chosen by looking at its picture; the terrain's four lakes are
// diamonds centred on (+-187.5, +-187.5), and the sun stands towards -x and a little -z.
#pragma once

#include "OffscreenScene.h"

#include <array>
#include <string>
#include <vector>

struct TourView
{
    const char* name;
    SceneCamera camera;
};

constexpr int TourViewCount = 9;

const std::array<TourView, TourViewCount>& CameraTour();

// The view of that name, or null.
const TourView* FindTourView(const std::string& name);

// The views of a list of names, "NAME,NAME...", added to `views`; false where a name is no view's
// or the list is empty.
bool FindTourViews(const std::string& names, std::vector<const TourView*>& views);
