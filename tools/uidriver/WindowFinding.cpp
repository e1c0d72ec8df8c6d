// Finding top-level windows by class and owner, and reading what they show without
// waiting on their owner.
#include "UiDriver.h"

#include <memory>
#include <type_traits>

namespace uidriver {

namespace {

struct ProcessCloser {
    void operator()(HANDLE process) const { CloseHandle(process); }
};
using UniqueProcess = std::unique_ptr<std::remove_pointer_t<HANDLE>, ProcessCloser>;

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

bool Matches(HWND window, const WindowFilter& filter) {
    if (filter.hwnd && window != filter.hwnd)
        return false;
    if (!filter.windowClass.empty() && !EqualsNoCase(ClassName(window), filter.windowClass))
        return false;
    if (filter.pid && WindowProcessId(window) != filter.pid)
        return false;
    if (filter.visibleOnly && !IsWindowVisible(window))
        return false;
    if (!filter.exe.empty() && !EqualsNoCase(ProcessImageName(WindowProcessId(window)), filter.exe))
        return false;
    return true;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

// A visible match wins over hidden ones (Z order otherwise), so a lingering hidden window of the same class
// does not shadow the one the user sees.
HWND PickWindow(const std::vector<HWND>& found) {
    for (HWND window : found)
        if (IsWindowVisible(window))
            return window;
    return found.empty() ? nullptr : found.front();
}

} // namespace

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring WithoutMnemonics(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

std::wstring ClassName(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

DWORD WindowProcessId(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::wstring ProcessImageName(DWORD processId) {
    UniqueProcess process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return {};
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process.get(), 0, buffer, &size))
        return {};
    std::wstring name(buffer, size);
    const size_t slash = name.find_last_of(L"\\/");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// Reads a top-level caption without sending a message: the target may be busy.
std::wstring CaptionOf(HWND window) {
    wchar_t buffer[1024] = {};
    InternalGetWindowText(window, buffer, 1024);
    return buffer;
}

// WM_GETTEXT returns what the control reports (a combo box's selection, for example); if the owner does not
// answer in time, fall back to the text stored with the window.
std::wstring TextOf(HWND window) {
    auto length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    if (length && *length >= 0) {
        std::vector<wchar_t> buffer(static_cast<size_t>(*length) + 2, L'\0');
        if (SendWithTimeout(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())))
            return buffer.data();
    }
    return CaptionOf(window);
}

WindowFilter FilterFrom(const Options& options, std::wstring windowClass) {
    WindowFilter filter;
    filter.windowClass = std::move(windowClass);
    filter.pid = options.pid;
    filter.exe = options.exe;
    filter.hwnd = options.hwnd;
    filter.visibleOnly = options.visibleOnly;
    return filter;
}

std::vector<HWND> MatchingWindows(const WindowFilter& filter) {
    std::vector<HWND> out;
    for (HWND window : TopLevelWindows())
        if (Matches(window, filter))
            out.push_back(window);
    return out;
}

// Waiting means waiting for the window to show: a window caught between creation and ShowWindow is only
// returned once the timeout has run out.
HWND WaitForWindow(const WindowFilter& filter, DWORD timeoutMs, size_t* count) {
    HWND hidden = nullptr;
    HWND shown = PollUntil(timeoutMs, [&]() -> HWND {
        auto found = MatchingWindows(filter);
        if (count)
            *count = found.size();
        HWND window = PickWindow(found);
        hidden = window && !IsWindowVisible(window) ? window : nullptr;
        return hidden ? nullptr : window;
    });
    return shown ? shown : hidden;
}

std::wstring DescribeMissing(const WindowFilter& filter) {
    std::wstring description = L"no window of class '" + filter.windowClass + L"'";
    if (filter.pid)
        description += L" owned by pid " + std::to_wstring(filter.pid);
    if (!filter.exe.empty())
        description += L" of " + filter.exe;
    if (filter.hwnd)
        description += L" with hwnd " + std::to_wstring(reinterpret_cast<UINT_PTR>(filter.hwnd));
    return description;
}

// Only direct children: controls such as a combo box may own windows of their own.
std::vector<HWND> DirectChildren(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> out;
    for (HWND window : all)
        if (GetAncestor(window, GA_PARENT) == parent)
            out.push_back(window);
    return out;
}

} // namespace uidriver
