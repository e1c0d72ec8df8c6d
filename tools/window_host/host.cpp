// Test host for the installer window: sets up what the start-up sequence
// would, from its own command line, then creates the real window and runs
// the message loop. Not part of the installer.
//
//   window_host [--offered <version>] [--installed <version>] [--uninstall]
//               [--language <code>] [--server <base address>] [--log <file>]
//
// Versions not given are empty; the language defaults to "en-US". The
// installation records are whatever the registry holds.
#include "app/StartupOptions.h"
#include "i18n/TranslationCatalog.h"
#include "platform/OwnExecutable.h"
#include "platform/RunLog.h"
#include "profile/ProductProfile.h"
#include "ui/InstallerWindow.h"
#include "ui/Keyboard.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    if (argv) {
        args.assign(argv + 1, argv + count);
        ::LocalFree(argv);
    }
    return args;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::wstring language = L"en-US";
    std::wstring server = kDefaultServerBaseUrl;
    WindowInputs inputs;
    const std::vector<std::wstring> args = Arguments();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == L"--offered" && hasValue)
            inputs.offeredVersion.Set(args[++i]);
        else if (arg == L"--installed" && hasValue)
            inputs.installedVersion.Set(args[++i]);
        else if (arg == L"--language" && hasValue)
            language = args[++i];
        else if (arg == L"--server" && hasValue)
            server = args[++i];
        else if (arg == L"--log" && hasValue)
            OpenRunLog(args[++i]); // its "decision:" line tells a test the first screen is up
        else if (arg == L"--uninstall")
            inputs.uninstallMode = true;
    }
    Profile().InitProductProfile(server);
    HoldOwnExecutable(Profile().modulePath());
    Catalog().LoadAll();
    Catalog().SetLanguage(language);

    RegisterInstallerWindowClass(instance);
    InstallerWindow window(Profile(), inputs);
    if (!CreateInstallerWindow(window, instance, SW_SHOWNORMAL))
        return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchLoopMessage(msg);
    return static_cast<int>(msg.wParam);
}
