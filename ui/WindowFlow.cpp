#include "ui/WindowFlow.h"

#include <algorithm>

namespace {

constexpr int kFullBar = 100;
// Points per tick of the bar's timer (kBarPassMilliseconds): a run that ends
// at once still shows about five seconds of progress.
constexpr int kPointsPerPass = 2;

using Effects = WindowEffects;

bool RunUnderWay(WindowPhase phase) {
    return phase == WindowPhase::Installing || phase == WindowPhase::Uninstalling ||
           phase == WindowPhase::CleaningUp;
}

// A failure of the install run leaves nothing to go on with, whatever the
// window was showing; it is told once, and later events find the phase Ending.
bool InstallRunOpen(WindowPhase phase) {
    return phase == WindowPhase::Installing || phase == WindowPhase::CancelPause ||
           phase == WindowPhase::CleaningUp;
}

WindowStep Failure(WindowFlowState s) {
    s.phase = WindowPhase::Ending;
    return {s, {WindowEffect::StopTicking, WindowEffect::TellFailure, WindowEffect::EndProgramFailed}};
}

WindowStep Finish(WindowFlowState s) {
    Effects effects{WindowEffect::StopTicking};
    switch (s.phase) {
    case WindowPhase::Installing:
        // The run may return without reporting its last points.
        s.bar = kFullBar;
        s.launchOffered = true;
        effects.Add(
            {WindowEffect::SetBar, WindowEffect::ShowInstalledFinish, WindowEffect::CopySelfToInstallFolder});
        break;
    case WindowPhase::Uninstalling:
        effects.Add({s.installState == InstallState::Uninstall ? WindowEffect::ShowUninstalledFinish
                                                               : WindowEffect::ShowCancelledFinish});
        break;
    default: // the clean-up after a Cancel
        effects.Add({WindowEffect::HideReleaseNotesLink, WindowEffect::ShowCancelledFinish});
        break;
    }
    effects.Add({WindowEffect::ReadRecords});
    s.phase = WindowPhase::Finished;
    s.installState = InstallState::Done;
    return {s, effects};
}

// One pass of the bar: at most two points toward what the run reports. The
// clean-up after a Cancel reports nothing until its work has returned.
WindowStep Tick(WindowFlowState s, const WindowEvent& e) {
    if (e.returned && e.failed && s.phase != WindowPhase::Uninstalling)
        return Failure(s);
    const int reported = s.phase == WindowPhase::CleaningUp ? (e.returned ? kFullBar : 0) : e.progress;
    Effects effects;
    if (s.bar < reported && s.bar < kFullBar) {
        s.bar = std::min({s.bar + kPointsPerPass, reported, kFullBar});
        effects.Add({WindowEffect::SetBar});
    }
    // The bar catches up with the last value, so even a run that ends at once
    // shows its progress, and one that never reports 100 still ends.
    if (e.returned && s.bar >= reported) {
        WindowStep finished = Finish(s);
        for (const WindowEffect effect : finished.effects)
            effects.Add({effect});
        return {finished.state, effects};
    }
    return {s, effects};
}

WindowStep MainButton(WindowFlowState s, const WindowEvent& e) {
    if (s.phase == WindowPhase::Finished) {
        if (s.launchOffered && e.launchTicked)
            return {s, {WindowEffect::LaunchApplication, WindowEffect::EndProgram}};
        return {s, {WindowEffect::EndProgram}};
    }
    if (s.phase != WindowPhase::Opening)
        return {s, {}};
    const PlannedRun run = PlanRun({s.installState, s.openingScreen}, RunMode::Window, s.uninstallMode);
    s.bar = 0;
    switch (run) {
    case PlannedRun::Install:
    case PlannedRun::Upgrade:
        // The installed version stays until the new one is ready; from the
        // run on the window treats an upgrade as any install.
        s.phase = WindowPhase::Installing;
        s.installState = InstallState::Fresh;
        return {s,
                {WindowEffect::EnsureInstallFolder, WindowEffect::ShowInstallingScreen,
                 run == PlannedRun::Install ? WindowEffect::StartInstallRun : WindowEffect::StartUpgradeRun,
                 WindowEffect::StartTicking}};
    case PlannedRun::Uninstall:
        s.phase = WindowPhase::Uninstalling;
        return {s,
                {WindowEffect::HideReleaseNotesLink, WindowEffect::ShowUninstallingScreen,
                 WindowEffect::StartUninstallRun, WindowEffect::StartTicking}};
    case PlannedRun::NothingToDo:
    case PlannedRun::NewerInstalled:
        break;
    }
    return {s, {WindowEffect::EndProgram}};
}

} // namespace

void WindowEffects::Add(std::initializer_list<WindowEffect> effects) {
    for (const WindowEffect effect : effects) {
        if (count_ < kCapacity)
            items_[count_++] = effect;
    }
}

WindowStep NextWindowStep(const WindowFlowState& state, const WindowEvent& event) {
    WindowFlowState s = state;
    switch (event.kind) {
    case WindowEventKind::RecordsRead:
        // After a run the finish screen stays whatever the records say now.
        if (s.phase != WindowPhase::Opening)
            return {s, {}};
        s.installState = event.decision.state;
        s.openingScreen = event.decision.screen;
        return {s, {WindowEffect::ShowOpeningScreen}};
    case WindowEventKind::MainButton:
        return MainButton(s, event);
    case WindowEventKind::CancelButton:
        // Nothing runs on an opening screen, nor in the pause after a Cancel:
        // the program ends. The clean-up itself is never cut short.
        if (s.phase == WindowPhase::Opening || s.phase == WindowPhase::CancelPause)
            return {s, {WindowEffect::EndProgram}};
        if (s.phase == WindowPhase::Installing)
            return {s, {WindowEffect::AskRunToStop}};
        return {s, {}};
    case WindowEventKind::CancelTaken:
        if (s.phase != WindowPhase::Installing)
            return {s, {}};
        s.phase = WindowPhase::CancelPause;
        s.installState = InstallState::Cancelled;
        s.bar = 0;
        return {s, {WindowEffect::StopTicking, WindowEffect::SetBar, WindowEffect::StartPause}};
    case WindowEventKind::PauseOver:
        if (s.phase != WindowPhase::CancelPause)
            return {s, {}};
        // The run removes what it staged; the user sees that clean-up as the
        // removal it is, and cannot cut it short.
        s.phase = WindowPhase::CleaningUp;
        return {
            s,
            {WindowEffect::DisableCancel, WindowEffect::ShowUninstallingScreen, WindowEffect::StartTicking}};
    case WindowEventKind::Tick:
        if (RunUnderWay(s.phase))
            return Tick(s, event);
        if (s.phase == WindowPhase::CancelPause && event.returned && event.failed)
            return Failure(s);
        return {s, {}};
    case WindowEventKind::RunFailed:
        if (InstallRunOpen(s.phase))
            return Failure(s);
        return {s, {}};
    case WindowEventKind::CloseRequest:
        if (s.phase == WindowPhase::Finished)
            return {s, {WindowEffect::CloseAndEndProgram}};
        return {s, {}};
    }
    return {s, {}};
}
