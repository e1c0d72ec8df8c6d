#include "app/StartupOptions.h"

#include "app/TempRelaunchName.h"
#include "common/UniqueHandle.h"

#include <shellapi.h>

const wchar_t kDefaultServerBaseUrl[] = L"https://downloads.norvale.example/";

StartupOptions WalkArguments(const std::wstring& commandLine, const std::vector<std::wstring>& args) {
    StartupOptions options;
    options.commandLine = commandLine;
    options.arguments = args;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring arg = AsciiLowerCase(args[i]);
        if (arg == L"-test") {
            if (i + 1 < args.size())
                options.serverBaseUrl = args[++i];
        } else if (arg == L"-log") {
            if (i + 1 < args.size()) {
                options.logPathIndex = ++i;
                options.logPath = args[i];
            }
        } else if (arg == L"-uninstall") {
            options.uninstallMode = true;
        } else if (arg == L"-silent") {
            options.silent = true;
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

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    // Backslashes count only before a quotation mark: there they are doubled,
    // and the mark itself escaped.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

std::wstring CommandLineForCopy(const StartupOptions& options, const std::wstring& absoluteLogPath) {
    if (options.logPathIndex >= options.arguments.size() || options.logPath == absoluteLogPath)
        return options.commandLine;
    std::wstring line;
    for (std::size_t i = 0; i < options.arguments.size(); ++i) {
        if (i > 0)
            line += L' ';
        line += QuoteArgument(i == options.logPathIndex ? absoluteLogPath : options.arguments[i]);
    }
    return line;
}
