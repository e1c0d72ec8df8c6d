// The verb's arguments and options, as the tests pass them.
#include "UiDriver.h"

#include <cwchar>

namespace uidriver {

namespace {

// Arguments of the form "@u8:<hex>" carry UTF-8 text as hex, so callers can pass non-ASCII text without
// depending on the locale Wine uses to turn the Unix argv into UTF-16.
std::wstring DecodeArgument(const std::wstring& argument) {
    const std::wstring prefix = L"@u8:";
    if (argument.compare(0, prefix.size(), prefix) != 0)
        return argument;
    std::string bytes;
    for (size_t i = prefix.size(); i + 1 < argument.size(); i += 2) {
        wchar_t pair[3] = {argument[i], argument[i + 1], 0};
        bytes += static_cast<char>(std::wcstoul(pair, nullptr, 16));
    }
    return FromUtf8(bytes);
}

} // namespace

bool ParseNumber(const std::wstring& text, long long& out) {
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    out = std::wcstoll(text.c_str(), &end, 0);
    return end && *end == 0;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error) {
    bool endOfOptions = false;
    for (int i = 2; i < argc; ++i) {
        std::wstring argument = DecodeArgument(argv[i]);
        if (endOfOptions || argument.size() < 3 || argument.compare(0, 2, L"--") != 0) {
            options.positional.push_back(argument);
            continue;
        }
        if (argument == L"--") {
            endOfOptions = true;
            continue;
        }
        auto readValue = [&](std::wstring& text) {
            if (i + 1 >= argc) {
                error = argument + L" needs a value";
                return false;
            }
            text = DecodeArgument(argv[++i]);
            return true;
        };
        auto readNumber = [&](long long& number) {
            std::wstring text;
            if (!readValue(text))
                return false;
            if (!ParseNumber(text, number) || number < 0) {
                error = argument + L" needs a non-negative number, got '" + text + L"'";
                return false;
            }
            return true;
        };
        long long number = 0;
        std::wstring text;
        if (argument == L"--pid") {
            if (!readNumber(number))
                return false;
            options.pid = static_cast<DWORD>(number);
        } else if (argument == L"--hwnd") {
            if (!readNumber(number))
                return false;
            options.hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(number));
        } else if (argument == L"--timeout") {
            if (!readNumber(number))
                return false;
            options.timeoutMs = static_cast<DWORD>(number);
        } else if (argument == L"--settle") {
            if (!readNumber(number))
                return false;
            options.settleMs = static_cast<DWORD>(number);
        } else if (argument == L"--pause") {
            if (!readNumber(number))
                return false;
            options.pauseMs = static_cast<DWORD>(number);
        } else if (argument == L"--again") {
            if (!readNumber(number))
                return false;
            options.againMs = static_cast<DWORD>(number);
        } else if (argument == L"--exe") {
            if (!readValue(options.exe))
                return false;
        } else if (argument == L"--method") {
            if (!readValue(options.method))
                return false;
        } else if (argument == L"--button") {
            if (!readValue(text))
                return false;
            options.button = text;
            options.answer = true;
        } else if (argument == L"--answer") {
            options.answer = true;
        } else if (argument == L"--force") {
            options.force = true;
        } else if (argument == L"--notify") {
            options.notify = true;
        } else if (argument == L"--all") {
            options.all = true;
        } else if (argument == L"--visible") {
            options.visibleOnly = true;
        } else {
            error = L"unknown option " + argument;
            return false;
        }
    }
    return true;
}

} // namespace uidriver
