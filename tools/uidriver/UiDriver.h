#pragma once
// uidriver: inspects and drives another process's windows for black-box UI tests.
//
// Every verb prints exactly one line of JSON (UTF-8) on stdout. Exit code 0 means success, 1 means the
// window/control was not found, a wait timed out or the operation failed, 2 means bad usage.
//
// The window under test may be inside a long message-pumping loop started from WM_COMMAND, so anything that
// makes it act (clicks, selection notifications, WM_CLOSE) is posted, never sent; key events go through the
// input queue, which does not wait for the target either. Queries use SendMessageTimeoutW, which the target
// answers whenever it pumps.
//
// What the verbs' files share: the options, finding windows and their controls.
#include "Json.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace uidriver {

constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;

// Command line (CommandLine.cpp).

struct Options {
    std::vector<std::wstring> positional;
    DWORD pid = 0;
    std::wstring exe;
    HWND hwnd = nullptr;
    DWORD timeoutMs = 0;
    bool answer = false;
    std::optional<std::wstring> button;
    bool force = false;
    bool notify = false;
    bool all = false;
    bool visibleOnly = false;
    std::wstring method = L"screen";
    DWORD settleMs = 300;
    DWORD pauseMs = 50;
    std::optional<DWORD> againMs;
};

bool ParseNumber(const std::wstring& text, long long& out);
// The options after the verb; false with a message for bad usage.
bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error);

// Windows (WindowFinding.cpp).

struct WindowFilter {
    std::wstring windowClass; // empty: any class
    DWORD pid = 0;
    std::wstring exe;
    HWND hwnd = nullptr;
    bool visibleOnly = false;
};

// Tries again every kPollMs until the attempt gives something or the timeout has run out.
template <typename F> auto PollUntil(DWORD timeoutMs, F attempt) -> decltype(attempt()) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        auto result = attempt();
        if (result || GetTickCount64() - start >= timeoutMs)
            return result;
        Sleep(kPollMs);
    }
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
std::wstring WithoutMnemonics(const std::wstring& text);
std::wstring ClassName(HWND window);
DWORD WindowProcessId(HWND window);
std::wstring ProcessImageName(DWORD processId);
std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
std::wstring CaptionOf(HWND window);
std::wstring TextOf(HWND window);
WindowFilter FilterFrom(const Options& options, std::wstring windowClass);
std::vector<HWND> MatchingWindows(const WindowFilter& filter);
HWND WaitForWindow(const WindowFilter& filter, DWORD timeoutMs, size_t* count = nullptr);
std::wstring DescribeMissing(const WindowFilter& filter);
std::vector<HWND> DirectChildren(HWND parent);

// Controls (ControlFinding.cpp).

// Finds the window and then the child, both within one overall timeout.
struct Target {
    HWND window = nullptr;
    HWND child = nullptr;
    size_t index = 0;
};

bool IsCheckable(LONG buttonType);
std::vector<std::wstring> ComboItems(HWND combo);
Json ChildInfo(HWND parent, HWND child, size_t index);
int FindTarget(const Options& options, const std::wstring& windowClass, const std::wstring& spec,
               Target& target);
int CheckUsable(const Options& options, const Target& target);
Json TargetJson(const Target& target);

// Message boxes (MessageBoxes.cpp).
HWND FindMessageBox(const Options& options);

// The verbs, each in the file of its concept; each returns the exit code.
int RunFind(const Options& options);
int RunChildren(const Options& options);
int RunChild(const Options& options);
int RunWindows(const Options& options);
int RunWaitGone(const Options& options);
int RunClick(const Options& options);
int RunCheck(const Options& options);
int RunSelect(const Options& options);
int RunClose(const Options& options);
int RunMessageBox(const Options& options);
int RunScreenshot(const Options& options);
int RunScreenshotMessageBox(const Options& options);
int RunPixel(const Options& options);
int RunKeys(const Options& options);
int RunFocus(const Options& options);
int RunAccessible(const Options& options);

} // namespace uidriver
