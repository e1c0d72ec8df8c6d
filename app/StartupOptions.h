#pragma once
#include <string>
#include <vector>

// What the command line asked for; filled once at start-up, read-only after.
struct StartupOptions {
    std::wstring serverBaseUrl;
    bool uninstallMode = false;
    bool silent = false;                 // "-silent": unattended, no window and no message box
    std::wstring logPath;                // "-log <file>" as given; empty: no log
    std::wstring commandLine;            // as received, without the program name
    std::vector<std::wstring> arguments; // commandLine split into arguments
    // Where in arguments the log path stands (the value of the last "-log").
    std::size_t logPathIndex = static_cast<std::size_t>(-1);
};

// The server used when no "-test <address>" is given. The reserved .example
// domain can never reach a real host, so a build that forgot to configure a
// server fails loudly instead of talking to somebody else's machine.
extern const wchar_t kDefaultServerBaseUrl[];

// Walks already-split arguments: "-test" takes the next argument as the server
// address and "-log" as the log file (for both the last one wins),
// "-uninstall" sets uninstall mode and "-silent" silent mode; the comparison
// is on the whole argument, ignoring case. Everything else is ignored.
StartupOptions WalkArguments(const std::wstring& commandLine, const std::vector<std::wstring>& args);

// Splits the command line the way Windows programs do (CommandLineToArgvW) and
// walks the arguments.
StartupOptions ParseCommandLine(const std::wstring& commandLine);

// The argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument);

// The command line the relaunched copy is to get: the one received, unless
// the log path has to be replaced by its absolute form (the copy runs in
// another current folder); then the arguments are joined anew, each quoted
// as needed.
std::wstring CommandLineForCopy(const StartupOptions& options, const std::wstring& absoluteLogPath);
