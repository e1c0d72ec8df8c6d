#pragma once
// What the installer window does next: from its state and what has just
// happened (a button, a tick of the bar's timer, the end of the pause after a
// Cancel, the records read) to its next state and the effects the window
// carries out in order. Pure and free of <windows.h>, so every path through
// the screens can be checked without a window.
#include "install/InstallState.h"
#include "install/RunPlan.h"

#include <initializer_list>

// The interval of the bar's timer. Two points a pass: the bar moves at one
// point per 50 ms, and is repainted ten times a second rather than twenty,
// which halves what the window's thread spends on it.
constexpr unsigned kBarPassMilliseconds = 100;

// Where the window is. It leaves Opening with the first run and never
// returns to it; Ending is a failure being told before the process ends.
enum class WindowPhase { Opening, Installing, CancelPause, CleaningUp, Uninstalling, Finished, Ending };

struct WindowFlowState {
    WindowPhase phase = WindowPhase::Opening;
    // What the main button does on the opening screen, as the records say;
    // Cancelled once a Cancel was taken, Done on the finish screen.
    InstallState installState = InstallState::Fresh;
    InstallerScreen openingScreen = InstallerScreen::Welcome;
    // Started with -uninstall: the plan depends on it.
    bool uninstallMode = false;
    // The bar's position, 0 to 100.
    int bar = 0;
    // The finish screen of a completed install: Finish starts the application
    // if the launch box is ticked.
    bool launchOffered = false;
};

enum class WindowEventKind {
    RecordsRead,  // decision: the records as they are now
    MainButton,   // launchTicked: the launch box's check
    CancelButton, // Cancel or Esc
    CancelTaken,  // the run agreed to stop (it refuses once its last step has begun)
    PauseOver,    // two seconds after the Cancel was taken
    Tick,         // the bar's timer: the progress the run reports, whether its work has returned
                  // and (then) whether it failed
    RunFailed,    // the install run's worker says it returned a failure
    CloseRequest, // the close box, Alt+F4
};

struct WindowEvent {
    WindowEventKind kind;
    InstallDecision decision{InstallState::Fresh, InstallerScreen::Welcome};
    int progress = 0;
    bool returned = false;
    bool failed = false;
    bool launchTicked = false;
};

enum class WindowEffect {
    ShowOpeningScreen,    // the state's opening screen
    EnsureInstallFolder,  // before an install run starts
    ShowInstallingScreen, // with Cancel
    StartInstallRun,      // the plan: Install or Upgrade
    StartUpgradeRun,
    HideReleaseNotesLink,
    ShowUninstallingScreen, // without Cancel; also the clean-up after a Cancel
    StartUninstallRun,
    StartTicking, // the bar's timer
    StopTicking,
    AskRunToStop, // CancelTaken follows if the run agrees
    StartPause,   // PauseOver follows in two seconds
    DisableCancel,
    SetBar, // to the state's bar
    ShowInstalledFinish,
    CopySelfToInstallFolder,
    ShowUninstalledFinish,
    ShowCancelledFinish,
    ReadRecords, // RecordsRead follows
    LaunchApplication,
    TellFailure, // the install run's failure, in a message box
    EndProgram,
    EndProgramFailed,
    CloseAndEndProgram,
};

// The effects of one step, in order: a handful at most, kept in place (the
// installer's size is counted in bytes).
class WindowEffects {
  public:
    WindowEffects() = default;
    WindowEffects(std::initializer_list<WindowEffect> effects) { Add(effects); }
    void Add(std::initializer_list<WindowEffect> effects);
    const WindowEffect* begin() const { return items_; }
    const WindowEffect* end() const { return items_ + count_; }

  private:
    static constexpr int kCapacity = 8;
    WindowEffect items_[kCapacity] = {};
    int count_ = 0;
};

struct WindowStep {
    WindowFlowState state;
    WindowEffects effects;
};

WindowStep NextWindowStep(const WindowFlowState& state, const WindowEvent& event);
