// Installs the main window's side of the services, as the start-up does, for every test of the
// program's windows.

#include "shell/shell_views.h"

#include <gtest/gtest.h>

namespace {

class MainWindowEnvironment : public ::testing::Environment {
    void SetUp() override { setMainWindowHost(std::make_shared<ShellMainWindow>()); }
    void TearDown() override { setMainWindowHost(nullptr); }
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new MainWindowEnvironment);

} // namespace
