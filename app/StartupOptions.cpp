#include "app/StartupOptions.h"

#include "app/TempRelaunchName.h"
#include "common/UniqueHandle.h"

#include <shellapi.h>

const wchar_t kDefaultServerBaseUrl[] = L"https://downloads.norvale.example/";

StartupOptions WalkArguments(const std::wstring& commandLine, const std::vector<std::wstring>& args) {
    StartupOptions options;
    options.commandLine = commandLine;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring arg = AsciiLowerCase(args[i]);
        if (arg == L"-test") {
            if (i + 1 < args.size())
                options.serverBaseUrl = args[++i];
        } else if (arg == L"-uninstall") {
            options.uninstallMode = true;
        }
    }
    if (options.serverBaseUrl.empty())
        options.serverBaseUrl = kDefaultServerBaseUrl;
    return options;
}

StartupOptions ParseCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> args;
    int count = 0;
    // The array is one LocalAlloc block; the holder frees it on every path.
    const unique_hlocal block(reinterpret_cast<HLOCAL>(::CommandLineToArgvW(commandLine.c_str(), &count)));
    if (block) {
        const auto argv = reinterpret_cast<LPWSTR*>(block.get());
        args.assign(argv, argv + count);
    }
    return WalkArguments(commandLine, args);
}
