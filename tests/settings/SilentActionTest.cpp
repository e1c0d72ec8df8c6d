// What a silent run does with each opening decision, and the exit code it
// ends with; an interactive run ends with 0 whatever happened.
#include "ui/ExitCodes.h"
#include "ui/SilentAction.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using S = InstallState;
using Sc = InstallerScreen;
using A = SilentAction;

struct SilentCase {
    const char* what;
    InstallDecision decision;
    bool uninstallMode;
    SilentAction action;
    std::uint32_t exitCode; // of a silent run that does nothing more, or whose run succeeded
};

void PrintTo(const SilentCase& c, std::ostream* os) {
    *os << c.what;
}

class SilentActionTable : public ::testing::TestWithParam<SilentCase> {};

TEST_P(SilentActionTable, ActsWithoutAUserAndSaysHowItEnded) {
    const SilentCase& c = GetParam();
    const SilentAction action = SilentActionFor(c.decision, c.uninstallMode);
    EXPECT_EQ(action, c.action);
    EXPECT_EQ(ExitCodeFor(SilentEndWithoutRun(action), true), c.exitCode);
    EXPECT_EQ(ExitCodeFor(SilentEndWithoutRun(action), false), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SilentActionTable,
    ::testing::Values(
        SilentCase{"nothing installed", {S::Fresh, Sc::Welcome}, false, A::Install, 0},
        SilentCase{"older version", {S::Replace, Sc::OldVersionInstalled}, false, A::ReplaceThenInstall, 0},
        SilentCase{
            "incomplete install", {S::Replace, Sc::IncompleteInstall}, false, A::ReplaceThenInstall, 0},
        SilentCase{
            "offered version installed", {S::Uninstall, Sc::UninstallWelcome}, false, A::NothingToDo, 0},
        SilentCase{
            "newer version installed", {S::Done, Sc::NewerVersionInstalled}, false, A::NewerInstalled, 1638},
        // -uninstall removes whatever is there, and nothing is no failure.
        SilentCase{"uninstall, installed", {S::Uninstall, Sc::UninstallWelcome}, true, A::Uninstall, 0},
        SilentCase{"uninstall, nothing installed", {S::Fresh, Sc::Welcome}, true, A::Uninstall, 0},
        SilentCase{"uninstall, incomplete", {S::Replace, Sc::IncompleteInstall}, true, A::Uninstall, 0}));

TEST(ExitCodes, SilentCodesAreTheOnesDeploymentToolsKnowAndInteractiveIsAlwaysZero) {
    const struct {
        RunEnd end;
        std::uint32_t code;
    } table[] = {{RunEnd::Success, 0},
                 {RunEnd::Cancelled, 1602},
                 {RunEnd::Failed, 1603},
                 {RunEnd::AlreadyRunning, 1618},
                 {RunEnd::NewerInstalled, 1638}};
    for (const auto& row : table) {
        EXPECT_EQ(ExitCodeFor(row.end, true), row.code);
        EXPECT_EQ(ExitCodeFor(row.end, false), 0u);
    }
}

} // namespace
