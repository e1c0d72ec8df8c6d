#pragma once
#include <string>

// The version of the application that the download server offers, read from
// the manifest in the server's "config/" folder. Called once during start-up.
//
// uninstallMode is the start-up option of the same name: when it is set the
// recorded version is returned without asking the server. A completed
// installation on an offline machine also takes its recorded version. A
// manifest that cannot be downloaded ends the process (exit code 0) after the
// downloader has shown its message.
std::wstring FetchAvailableVersion(bool uninstallMode);
