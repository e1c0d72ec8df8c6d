#include "ui/WindowFlow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using E = WindowEffect;
using K = WindowEventKind;
using P = WindowPhase;
using S = InstallState;
using Screen = InstallerScreen;

WindowFlowState At(P phase, S state = S::Fresh, int bar = 0, Screen screen = Screen::Welcome) {
    WindowFlowState s;
    s.phase = phase;
    s.installState = state;
    s.bar = bar;
    s.openingScreen = screen;
    return s;
}

WindowFlowState Offering(S state, Screen screen) {
    return At(P::Opening, state, 0, screen);
}

WindowFlowState FinishedInstall() {
    WindowFlowState s = At(P::Finished, S::Done, 100);
    s.launchOffered = true;
    return s;
}

WindowEvent Event(K kind) {
    return WindowEvent{kind};
}

WindowEvent Records(S state, Screen screen) {
    WindowEvent e{K::RecordsRead};
    e.decision = {state, screen};
    return e;
}

WindowEvent Tick(int progress, bool returned = false, bool failed = false) {
    WindowEvent e{K::Tick};
    e.progress = progress;
    e.returned = returned;
    e.failed = failed;
    return e;
}

WindowEvent Main(bool launchTicked) {
    WindowEvent e{K::MainButton};
    e.launchTicked = launchTicked;
    return e;
}

struct Row {
    const char* what;
    WindowFlowState before;
    WindowEvent event;
    WindowFlowState after;
    std::vector<E> effects;
};

const std::vector<E> kNothing;
const std::vector<E> kEnd{E::EndProgram};
const std::vector<E> kFailure{E::StopTicking, E::TellFailure, E::EndProgramFailed};

TEST(WindowFlow, EveryScreenPathStepByStep) {
    const WindowFlowState upgrade = Offering(S::Replace, Screen::OldVersionInstalled);
    // clang-format off
    const std::vector<Row> rows = {
        // The opening screens follow the records; a run's end does not change the finish screen.
        {"records before the first screen", At(P::Opening), Records(S::Replace, Screen::IncompleteInstall),
         Offering(S::Replace, Screen::IncompleteInstall), {E::ShowOpeningScreen}},
        {"records after a run", FinishedInstall(), Records(S::Fresh, Screen::Welcome), FinishedInstall(),
         kNothing},
        // The main button on each opening screen.
        {"Install", Offering(S::Fresh, Screen::Welcome), Main(true), At(P::Installing),
         {E::EnsureInstallFolder, E::ShowInstallingScreen, E::StartInstallRun, E::StartTicking}},
        {"Install on the old-version screen", upgrade, Main(true),
         At(P::Installing, S::Fresh, 0, Screen::OldVersionInstalled),
         {E::EnsureInstallFolder, E::ShowInstallingScreen, E::StartUpgradeRun, E::StartTicking}},
        {"Uninstall", Offering(S::Uninstall, Screen::UninstallWelcome), Main(false),
         At(P::Uninstalling, S::Uninstall, 0, Screen::UninstallWelcome),
         {E::HideReleaseNotesLink, E::ShowUninstallingScreen, E::StartUninstallRun, E::StartTicking}},
        {"OK on the newer-version screen", Offering(S::Done, Screen::NewerVersionInstalled), Main(true),
         Offering(S::Done, Screen::NewerVersionInstalled), kEnd},
        {"Cancel on an opening screen", upgrade, Event(K::CancelButton), upgrade, kEnd},
        {"close box on an opening screen", upgrade, Event(K::CloseRequest), upgrade, kNothing},
        // The bar: two points per tick toward the report, never beyond it; the run's end waits for it.
        {"tick behind the report", At(P::Installing, S::Fresh, 10), Tick(30),
         At(P::Installing, S::Fresh, 12), {E::SetBar}},
        {"tick a point behind", At(P::Installing, S::Fresh, 29), Tick(30), At(P::Installing, S::Fresh, 30),
         {E::SetBar}},
        {"tick at the report", At(P::Installing, S::Fresh, 30), Tick(30), At(P::Installing, S::Fresh, 30),
         kNothing},
        {"full bar, run still writing its records", At(P::Installing, S::Fresh, 100), Tick(100),
         At(P::Installing, S::Fresh, 100), kNothing},
        {"returned, bar catching up", At(P::Installing, S::Fresh, 3), Tick(6, true),
         At(P::Installing, S::Fresh, 5), {E::SetBar}},
        {"returned without reporting 100", At(P::Installing, S::Fresh, 3), Tick(3, true), FinishedInstall(),
         {E::StopTicking, E::SetBar, E::ShowInstalledFinish, E::CopySelfToInstallFolder, E::ReadRecords}},
        {"main button while installing", At(P::Installing, S::Fresh, 7), Main(true),
         At(P::Installing, S::Fresh, 7), kNothing},
        {"close box while installing", At(P::Installing, S::Fresh, 7), Event(K::CloseRequest),
         At(P::Installing, S::Fresh, 7), kNothing},
        // A failure is told once, from wherever the install run was.
        {"run failed", At(P::Installing, S::Fresh, 40), Tick(40, true, true), At(P::Ending, S::Fresh, 40),
         kFailure},
        {"failure notice in the pause", At(P::CancelPause, S::Cancelled), Event(K::RunFailed),
         At(P::Ending, S::Cancelled), kFailure},
        {"failure seen in the clean-up", At(P::CleaningUp, S::Cancelled, 2), Tick(0, true, true),
         At(P::Ending, S::Cancelled, 2), kFailure},
        {"events while the failure is told", At(P::Ending, S::Fresh, 40), Event(K::RunFailed),
         At(P::Ending, S::Fresh, 40), kNothing},
        {"pause timer while the failure is told", At(P::Ending, S::Cancelled), Event(K::PauseOver),
         At(P::Ending, S::Cancelled), kNothing},
        // Cancel: asked, taken, the bar drops, two seconds, then the clean-up that cannot be cut short.
        {"Cancel while installing", At(P::Installing, S::Fresh, 40), Event(K::CancelButton),
         At(P::Installing, S::Fresh, 40), {E::AskRunToStop}},
        {"Cancel taken", At(P::Installing, S::Fresh, 40), Event(K::CancelTaken),
         At(P::CancelPause, S::Cancelled), {E::StopTicking, E::SetBar, E::StartPause}},
        {"second Cancel in the pause", At(P::CancelPause, S::Cancelled), Event(K::CancelButton),
         At(P::CancelPause, S::Cancelled), kEnd},
        {"pause over", At(P::CancelPause, S::Cancelled), Event(K::PauseOver),
         At(P::CleaningUp, S::Cancelled), {E::DisableCancel, E::ShowUninstallingScreen, E::StartTicking}},
        {"Cancel in the clean-up", At(P::CleaningUp, S::Cancelled, 5), Event(K::CancelButton),
         At(P::CleaningUp, S::Cancelled, 5), kNothing},
        {"close box in the clean-up", At(P::CleaningUp, S::Cancelled, 5), Event(K::CloseRequest),
         At(P::CleaningUp, S::Cancelled, 5), kNothing},
        {"clean-up still running", At(P::CleaningUp, S::Cancelled), Tick(60),
         At(P::CleaningUp, S::Cancelled), kNothing},
        {"clean-up returned", At(P::CleaningUp, S::Cancelled, 50), Tick(0, true),
         At(P::CleaningUp, S::Cancelled, 52), {E::SetBar}},
        {"clean-up shown to its end", At(P::CleaningUp, S::Cancelled, 100), Tick(0, true),
         At(P::Finished, S::Done, 100),
         {E::StopTicking, E::HideReleaseNotesLink, E::ShowCancelledFinish, E::ReadRecords}},
        {"Cancel refused, run completes", At(P::Finished, S::Done, 100), Event(K::CancelTaken),
         At(P::Finished, S::Done, 100), kNothing},
        // The uninstall cannot be cancelled; its failure is only logged.
        {"uninstall ended", At(P::Uninstalling, S::Uninstall, 100), Tick(100, true),
         At(P::Finished, S::Done, 100), {E::StopTicking, E::ShowUninstalledFinish, E::ReadRecords}},
        {"uninstall failed", At(P::Uninstalling, S::Uninstall, 100), Tick(100, true, true),
         At(P::Finished, S::Done, 100), {E::StopTicking, E::ShowUninstalledFinish, E::ReadRecords}},
        {"Cancel while uninstalling", At(P::Uninstalling, S::Uninstall, 9), Event(K::CancelButton),
         At(P::Uninstalling, S::Uninstall, 9), kNothing},
        // Finish: the application starts only after a completed install with the box ticked.
        {"Finish, box ticked", FinishedInstall(), Main(true), FinishedInstall(),
         {E::LaunchApplication, E::EndProgram}},
        {"Finish, box unticked", FinishedInstall(), Main(false), FinishedInstall(), kEnd},
        {"Finish after a cancel", At(P::Finished, S::Done, 100), Main(true), At(P::Finished, S::Done, 100),
         kEnd},
        {"close box on the finish screen", At(P::Finished, S::Done), Event(K::CloseRequest),
         At(P::Finished, S::Done), {E::CloseAndEndProgram}},
        {"Esc on the finish screen", At(P::Finished, S::Done), Event(K::CancelButton),
         At(P::Finished, S::Done), kNothing},
    };
    // clang-format on
    for (const Row& row : rows) {
        const WindowStep step = NextWindowStep(row.before, row.event);
        const WindowFlowState& s = step.state;
        const WindowFlowState& x = row.after;
        EXPECT_TRUE(s.phase == x.phase && s.installState == x.installState && s.bar == x.bar &&
                    s.openingScreen == x.openingScreen && s.launchOffered == x.launchOffered &&
                    s.uninstallMode == x.uninstallMode)
            << row.what << ": phase " << static_cast<int>(s.phase) << ", state "
            << static_cast<int>(s.installState) << ", bar " << s.bar;
        EXPECT_EQ(std::vector<E>(step.effects.begin(), step.effects.end()), row.effects) << row.what;
    }
}

} // namespace
