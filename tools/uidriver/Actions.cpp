// What makes the window act: clicks, check states, combo box selections and
// WM_CLOSE, all posted.
#include "UiDriver.h"

namespace uidriver {

int RunClick(const Options& options) {
    if (options.positional.size() != 2)
        return Fail(L"usage: click <class> <spec> [--pid N] [--timeout MS] [--force] [--again MS]", 2);
    Target target;
    if (int code = FindTarget(options, options.positional[0], options.positional[1], target))
        return code;
    if (int code = CheckUsable(options, target))
        return code;
    Json out = TargetJson(target);
    // A real click on an automatic check box or radio button changes its state before the parent hears of it.
    if (EqualsNoCase(ClassName(target.child), L"Button")) {
        const LONG type = GetWindowLongW(target.child, GWL_STYLE) & BS_TYPEMASK;
        auto state = SendWithTimeout(target.child, BM_GETCHECK, 0, 0);
        if (state && (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON)) {
            WPARAM next = BST_CHECKED;
            if (type == BS_AUTOCHECKBOX)
                next = *state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            else if (type == BS_AUTO3STATE)
                next = (*state + 1) % 3;
            SendWithTimeout(target.child, BM_SETCHECK, next, 0);
            out.Set("checked", static_cast<long long>(next));
        }
    }
    const int id = GetDlgCtrlID(target.child);
    if (!PostMessageW(target.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(target.child)))
        return Fail(L"PostMessage failed");
    // A second press a set time after the first, however long the caller itself takes to start a program.
    if (options.againMs) {
        Sleep(*options.againMs);
        if (!PostMessageW(target.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(target.child)))
            return Fail(L"PostMessage failed for the second press");
    }
    Emit(out.Set("posted", true));
    return 0;
}

int RunCheck(const Options& options) {
    if (options.positional.size() != 3)
        return Fail(L"usage: check <class> <spec> 0|1|2 [--notify] [--pid N] [--timeout MS]", 2);
    long long state = 0;
    if (!ParseNumber(options.positional[2], state) || state < 0 || state > 2)
        return Fail(L"check state must be 0, 1 or 2", 2);
    Target target;
    if (int code = FindTarget(options, options.positional[0], options.positional[1], target))
        return code;
    if (!EqualsNoCase(ClassName(target.child), L"Button") ||
        !IsCheckable(GetWindowLongW(target.child, GWL_STYLE) & BS_TYPEMASK))
        return Fail(L"control is not a check box or radio button");
    if (options.notify) {
        if (int code = CheckUsable(options, target))
            return code;
    }
    if (!SendWithTimeout(target.child, BM_SETCHECK, static_cast<WPARAM>(state), 0))
        return Fail(L"BM_SETCHECK timed out");
    auto now = SendWithTimeout(target.child, BM_GETCHECK, 0, 0);
    if (options.notify)
        PostMessageW(target.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target.child), BN_CLICKED),
                     reinterpret_cast<LPARAM>(target.child));
    Emit(TargetJson(target)
             .Set("checked", now ? Json(static_cast<long long>(*now)) : Json())
             .Set("notified", options.notify));
    return 0;
}

int RunSelect(const Options& options) {
    if (options.positional.size() != 3)
        return Fail(L"usage: select <class> <spec> <index | text:Item> [--pid N] [--timeout MS] [--force]",
                    2);
    Target target;
    if (int code = FindTarget(options, options.positional[0], options.positional[1], target))
        return code;
    if (!EqualsNoCase(ClassName(target.child), L"ComboBox"))
        return Fail(L"control is not a combo box");
    if (int code = CheckUsable(options, target))
        return code;
    const auto items = ComboItems(target.child);
    const std::wstring& which = options.positional[2];
    long long index = -1;
    if (which.compare(0, 5, L"text:") == 0) {
        const std::wstring want = which.substr(5);
        for (size_t i = 0; i < items.size() && index < 0; ++i)
            if (items[i] == want)
                index = static_cast<long long>(i);
        if (index < 0)
            return Fail(L"no combo box item '" + want + L"'");
    } else if (!ParseNumber(which, index) || index < 0 || index >= static_cast<long long>(items.size())) {
        return Fail(L"item index out of range: '" + which + L"' (" + std::to_wstring(items.size()) +
                    L" items)");
    }
    auto result = SendWithTimeout(target.child, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!result || *result == CB_ERR)
        return Fail(L"CB_SETCURSEL failed");
    PostMessageW(target.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target.child), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(target.child));
    Emit(TargetJson(target)
             .Set("selected", index)
             .Set("item", items[static_cast<size_t>(index)])
             .Set("posted", true));
    return 0;
}

int RunClose(const Options& options) {
    if (options.positional.size() != 1)
        return Fail(L"usage: close <class> [--pid N] [--timeout MS]", 2);
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    HWND window = WaitForWindow(filter, options.timeoutMs);
    if (!window)
        return Fail(DescribeMissing(filter));
    if (!PostMessageW(window, WM_CLOSE, 0, 0))
        return Fail(L"PostMessage failed");
    Emit(Json::Object().Set("hwnd", reinterpret_cast<UINT_PTR>(window)).Set("posted", true));
    return 0;
}

} // namespace uidriver
