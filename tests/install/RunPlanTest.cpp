// What a run does with each opening decision, in the window and without a
// user, and the exit code a silent run ends with for what its run came to; an
// interactive run ends with 0 whatever happened.
#include "install/RunPlan.h"
#include "report/ExitCodes.h"
#include "app/SilentAction.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using S = InstallState;
using Sc = InstallerScreen;
using P = PlannedRun;
constexpr RunMode W = RunMode::Window;
constexpr RunMode Q = RunMode::Silent;

const RunResult kDone = RunResult::Done();
const RunResult kRestart = RunResult::Done(true);
const RunResult kCancelled = RunResult::Stopped();
const RunResult kFailed = RunResult::FailedWith({Failure::PackageNotUnpacked, {}, 0});

struct PlanCase {
    const char* what;
    InstallDecision decision;
    RunMode mode;
    bool uninstallMode;
    PlannedRun run;
    RunResult result;       // what the executor's run came to
    std::uint32_t exitCode; // of a silent run with that result
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.what;
}

class RunPlanTable : public ::testing::TestWithParam<PlanCase> {};

TEST_P(RunPlanTable, PlansTheRunAndSaysHowItEnded) {
    const PlanCase& c = GetParam();
    const PlannedRun run = PlanRun(c.decision, c.mode, c.uninstallMode);
    EXPECT_EQ(run, c.run);
    EXPECT_EQ(ExitCodeFor(SilentEnd(run, c.result), c.mode == Q), c.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunPlanTable,
    ::testing::Values(
        PlanCase{"window, nothing installed", {S::Fresh, Sc::Welcome}, W, false, P::Install, kDone, 0},
        PlanCase{
            "window, older version", {S::Replace, Sc::OldVersionInstalled}, W, false, P::Upgrade, kFailed, 0},
        // The window offers an unfinished installation's replacement even with -uninstall.
        PlanCase{"window, -uninstall, incomplete",
                 {S::Replace, Sc::IncompleteInstall},
                 W,
                 true,
                 P::Upgrade,
                 kCancelled,
                 0},
        PlanCase{"window, offered version",
                 {S::Uninstall, Sc::UninstallWelcome},
                 W,
                 false,
                 P::Uninstall,
                 kDone,
                 0},
        PlanCase{"window, newer version",
                 {S::Done, Sc::NewerVersionInstalled},
                 W,
                 false,
                 P::NewerInstalled,
                 kDone,
                 0},
        PlanCase{"nothing installed", {S::Fresh, Sc::Welcome}, Q, false, P::Install, kDone, 0},
        PlanCase{"older version", {S::Replace, Sc::OldVersionInstalled}, Q, false, P::Upgrade, kDone, 0},
        PlanCase{"older version, failed",
                 {S::Replace, Sc::OldVersionInstalled},
                 Q,
                 false,
                 P::Upgrade,
                 kFailed,
                 1603},
        PlanCase{"older version, cancelled",
                 {S::Replace, Sc::OldVersionInstalled},
                 Q,
                 false,
                 P::Upgrade,
                 kCancelled,
                 1602},
        PlanCase{"older version, restart needed",
                 {S::Replace, Sc::OldVersionInstalled},
                 Q,
                 false,
                 P::Upgrade,
                 kRestart,
                 3010},
        PlanCase{"incomplete install", {S::Replace, Sc::IncompleteInstall}, Q, false, P::Upgrade, kDone, 0},
        PlanCase{"offered version installed",
                 {S::Uninstall, Sc::UninstallWelcome},
                 Q,
                 false,
                 P::NothingToDo,
                 kDone,
                 0},
        PlanCase{"newer version installed",
                 {S::Done, Sc::NewerVersionInstalled},
                 Q,
                 false,
                 P::NewerInstalled,
                 kDone,
                 1638},
        // -uninstall removes whatever is there, and nothing is no failure.
        PlanCase{
            "uninstall, installed", {S::Uninstall, Sc::UninstallWelcome}, Q, true, P::Uninstall, kDone, 0},
        PlanCase{"uninstall, nothing installed", {S::Fresh, Sc::Welcome}, Q, true, P::Uninstall, kDone, 0},
        PlanCase{
            "uninstall, incomplete", {S::Replace, Sc::IncompleteInstall}, Q, true, P::Uninstall, kDone, 0}));

} // namespace
