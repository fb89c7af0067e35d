// SPDX-License-Identifier: MIT
// Every test, and every program a test starts, sees a scratch home with its own configuration and
// state folders: the files a developer keeps in theirs (settings, the inspector's layout, a
// pictures folder) never change a result, and nothing a test saves lands among them.
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace
{
class ScratchHome : public ::testing::Environment
{
public:
    void SetUp() override
    {
        home = std::make_unique<ScratchFolder>();
        setenv("HOME", std::filesystem::path(home->PathOf("")).parent_path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home->PathOf(".config").c_str(), 1);
        setenv("XDG_STATE_HOME", home->PathOf(".local/state").c_str(), 1);
    }
    void TearDown() override { home.reset(); }

private:
    std::unique_ptr<ScratchFolder> home;
};

::testing::Environment* const scratchHome = ::testing::AddGlobalTestEnvironment(new ScratchHome);
}
