// Describing windows: one window, its controls, every window, and waiting for
// one to go.
#include "UiDriver.h"

namespace uidriver {

namespace {

Json RectJson(const RECT& rect) {
    return Json::Object()
        .Set("left", rect.left)
        .Set("top", rect.top)
        .Set("right", rect.right)
        .Set("bottom", rect.bottom);
}

} // namespace

int RunFind(const Options& options) {
    if (options.positional.size() != 1)
        return Fail(L"usage: find <class> [--pid N] [--exe NAME] [--hwnd H] [--visible] [--timeout MS]", 2);
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    size_t count = 0;
    HWND window = WaitForWindow(filter, options.timeoutMs, &count);
    if (!window)
        return Fail(DescribeMissing(filter));
    RECT windowRect{}, clientRect{};
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &clientRect);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const DWORD pid = WindowProcessId(window);
    Emit(Json::Object()
             .Set("hwnd", reinterpret_cast<UINT_PTR>(window))
             .Set("pid", static_cast<unsigned long>(pid))
             .Set("exe", ProcessImageName(pid))
             .Set("class", ClassName(window))
             .Set("title", CaptionOf(window))
             .Set("rect", RectJson(windowRect))
             .Set("width", windowRect.right - windowRect.left)
             .Set("height", windowRect.bottom - windowRect.top)
             .Set("client", Json::Object().Set("w", clientRect.right).Set("h", clientRect.bottom))
             .Set("client_origin", Json::Object().Set("x", origin.x).Set("y", origin.y))
             .Set("style", static_cast<unsigned long>(style))
             .Set("exstyle", static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)))
             .Set("has_maximize_box", (style & WS_MAXIMIZEBOX) != 0)
             .Set("has_minimize_box", (style & WS_MINIMIZEBOX) != 0)
             .Set("has_sizing_border", (style & WS_THICKFRAME) != 0)
             .Set("visible", IsWindowVisible(window) != FALSE)
             .Set("enabled", IsWindowEnabled(window) != FALSE)
             .Set("minimized", IsIconic(window) != FALSE)
             .Set("maximized", IsZoomed(window) != FALSE)
             .Set("foreground", GetForegroundWindow() == window)
             .Set("count", static_cast<long long>(count)));
    return 0;
}

int RunChildren(const Options& options) {
    if (options.positional.size() != 1)
        return Fail(L"usage: children <class> [--pid N] [--timeout MS]", 2);
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    HWND window = WaitForWindow(filter, options.timeoutMs);
    if (!window)
        return Fail(DescribeMissing(filter));
    Json list = Json::Array();
    auto children = DirectChildren(window);
    for (size_t i = 0; i < children.size(); ++i)
        list.Push(ChildInfo(window, children[i], i));
    Emit(Json::Object()
             .Set("hwnd", reinterpret_cast<UINT_PTR>(window))
             .Set("pid", static_cast<unsigned long>(WindowProcessId(window)))
             .Set("children", list));
    return 0;
}

int RunChild(const Options& options) {
    if (options.positional.size() != 2)
        return Fail(L"usage: child <class> <spec> [--pid N] [--timeout MS]", 2);
    Target target;
    if (int code = FindTarget(options, options.positional[0], options.positional[1], target))
        return code;
    Emit(ChildInfo(target.window, target.child, target.index));
    return 0;
}

int RunWindows(const Options& options) {
    Json list = Json::Array();
    WindowFilter filter =
        FilterFrom(options, options.positional.empty() ? std::wstring() : options.positional[0]);
    for (HWND window : MatchingWindows(filter)) {
        if (!options.all && !IsWindowVisible(window))
            continue;
        RECT windowRect{};
        GetWindowRect(window, &windowRect);
        const DWORD pid = WindowProcessId(window);
        list.Push(Json::Object()
                      .Set("hwnd", reinterpret_cast<UINT_PTR>(window))
                      .Set("class", ClassName(window))
                      .Set("title", CaptionOf(window))
                      .Set("pid", static_cast<unsigned long>(pid))
                      .Set("exe", ProcessImageName(pid))
                      .Set("visible", IsWindowVisible(window) != FALSE)
                      .Set("rect", RectJson(windowRect)));
    }
    Emit(Json::Object().Set("windows", list));
    return 0;
}

int RunWaitGone(const Options& options) {
    if (options.positional.size() != 1)
        return Fail(L"usage: wait-gone <class> --timeout MS [--pid N]", 2);
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    const ULONGLONG start = GetTickCount64();
    const bool gone = PollUntil(options.timeoutMs, [&] { return MatchingWindows(filter).empty(); });
    const long long waited = static_cast<long long>(GetTickCount64() - start);
    if (!gone) {
        Emit(Json::Object()
                 .Set("error", L"window of class '" + filter.windowClass + L"' still exists")
                 .Set("waited_ms", waited));
        return 1;
    }
    Emit(Json::Object().Set("gone", true).Set("waited_ms", waited));
    return 0;
}

} // namespace uidriver
