#include "ui/SilentAction.h"

SilentAction SilentActionFor(const InstallDecision& decision, bool uninstallMode) {
    // The uninstall removes what it finds, even an unfinished installation,
    // and has nothing to do when nothing is recorded.
    if (uninstallMode)
        return SilentAction::Uninstall;
    switch (decision.state) {
    case InstallState::Fresh:
        return SilentAction::Install;
    case InstallState::Replace:
        return SilentAction::ReplaceThenInstall;
    case InstallState::Done:
        return SilentAction::NewerInstalled;
    case InstallState::Uninstall:
    case InstallState::Cancelled:
        break;
    }
    return SilentAction::NothingToDo;
}

RunEnd SilentEndWithoutRun(SilentAction action) {
    return action == SilentAction::NewerInstalled ? RunEnd::NewerInstalled : RunEnd::Success;
}

std::wstring SilentActionName(SilentAction action) {
    switch (action) {
    case SilentAction::Install:
        return L"install";
    case SilentAction::ReplaceThenInstall:
        return L"replace the installation found once the new version is ready";
    case SilentAction::Uninstall:
        return L"uninstall";
    case SilentAction::NothingToDo:
        return L"nothing to do, the offered version is installed";
    case SilentAction::NewerInstalled:
        return L"nothing to do, a newer version is installed";
    }
    return std::wstring();
}

namespace {

const wchar_t* ScreenName(InstallerScreen screen) {
    switch (screen) {
    case InstallerScreen::Welcome:
        return L"nothing installed";
    case InstallerScreen::UninstallWelcome:
        return L"uninstall offered";
    case InstallerScreen::IncompleteInstall:
        return L"incomplete installation";
    case InstallerScreen::OldVersionInstalled:
        return L"older installation";
    case InstallerScreen::NewerVersionInstalled:
        return L"newer version installed";
    }
    return L"";
}

} // namespace

std::wstring DescribeDecision(const InstallDecision& decision, const std::wstring& offered,
                              const std::wstring& installed) {
    const auto shown = [](const std::wstring& version) { return version.empty() ? L"none" : version; };
    return ScreenName(decision.screen) + std::wstring(L" (offered ") + shown(offered) + L", installed " +
           shown(installed) + L")";
}
