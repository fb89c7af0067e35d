// SPDX-License-Identifier: MIT
#include "CameraTour.h"

#include <sstream>

namespace
{
// Heights are never below 20, the lowest a user can lower the eye to. A yaw of 4.364 faces the
// sun's bearing; 1.222 turns the back on it.
const std::array<TourView, TourViewCount> Views = {{
    {"start", SceneCamera{}},
    {"along_lake", SceneCamera{true, 30.0f, 20.0f, 170.0f, 2.356f, 0.0f}},
    {"open_water", SceneCamera{true, 187.5f, 25.0f, 20.0f, 0.0f, 0.0f}},
    {"into_sun", SceneCamera{true, 20.0f, 40.0f, -150.0f, 4.364f, 0.0f}},
    {"away_from_sun", SceneCamera{true, 20.0f, 40.0f, 130.0f, 1.222f, 0.0f}},
    {"high_above", SceneCamera{true, 0.0f, 700.0f, -120.0f, 0.0f, 0.0f}},
    {"water_level_shore", SceneCamera{true, 187.5f, 20.0f, -100.0f, 1.571f, 0.0f}},
    {"hillside_lake", SceneCamera{true, -300.0f, 50.0f, -300.0f, 0.785f, 0.0f}},
    {"turned", SceneCamera{true, 200.0f, 40.0f, 250.0f, 3.6f, 30.0f}},
}};
}

const std::array<TourView, TourViewCount>& CameraTour()
{
    return Views;
}

const TourView* FindTourView(const std::string& name)
{
    for (const TourView& view : Views)
        if (name == view.name)
            return &view;
    return nullptr;
}

bool FindTourViews(const std::string& names, std::vector<const TourView*>& views)
{
    std::istringstream list(names);
    std::string name;
    while (std::getline(list, name, ','))
    {
        const TourView* view = FindTourView(name);
        if (view == nullptr)
            return false;
        views.push_back(view);
    }
    return !views.empty();
}
