#pragma once
#include <string>
#include <vector>

// What the command line asked for; filled once at start-up, read-only after.
struct StartupOptions {
    std::wstring serverBaseUrl;
    bool uninstallMode = false;
    std::wstring commandLine; // as received, without the program name
};

// The server used when no "-test <address>" is given. The reserved .example
// domain can never reach a real host, so a build that forgot to configure a
// server fails loudly instead of talking to somebody else's machine.
extern const wchar_t kDefaultServerBaseUrl[];

// Walks already-split arguments: "-test" takes the next argument as the server
// address (last one wins), "-uninstall" sets uninstall mode; the comparison is
// on the whole argument, ignoring case. Everything else is ignored.
StartupOptions WalkArguments(const std::wstring& commandLine, const std::vector<std::wstring>& args);

// Splits the command line the way Windows programs do (CommandLineToArgvW) and
// walks the arguments.
StartupOptions ParseCommandLine(const std::wstring& commandLine);
