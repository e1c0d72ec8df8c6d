// The controls of a window: addressing one by a spec, and describing it.
#include "UiDriver.h"

#include <commctrl.h>

namespace uidriver {

namespace {

const wchar_t* ButtonTypeName(LONG type) {
    static const wchar_t* names[] = {L"pushbutton",  L"defpushbutton",   L"checkbox",    L"autocheckbox",
                                     L"radiobutton", L"3state",          L"auto3state",  L"groupbox",
                                     L"userbutton",  L"autoradiobutton", L"pushbox",     L"ownerdraw",
                                     L"splitbutton", L"defsplitbutton",  L"commandlink", L"defcommandlink"};
    return names[type & 0xF];
}

// Child specs: "index:N", "id:N", "text:Exact text" (falls back to ignoring '&' mnemonics), "class:Name#K".
// Sets badSpec when the control selector itself is malformed (a usage error, not a missing control).
HWND ResolveSpec(HWND parent, const std::wstring& spec, std::wstring& error, bool& badSpec,
                 size_t* indexOut) {
    auto children = DirectChildren(parent);
    auto found = [&](size_t i) {
        if (indexOut)
            *indexOut = i;
        return children[i];
    };
    const size_t colon = spec.find(L':');
    if (colon == std::wstring::npos) {
        error = L"bad child spec '" + spec + L"' (use index:N, id:N, text:T or class:C#K)";
        badSpec = true;
        return nullptr;
    }
    const std::wstring kind = spec.substr(0, colon);
    const std::wstring arg = spec.substr(colon + 1);
    long long number = 0;
    if (kind == L"index") {
        if (!ParseNumber(arg, number) || number < 0) {
            error = L"bad index in '" + spec + L"'";
            badSpec = true;
            return nullptr;
        }
        if (static_cast<size_t>(number) < children.size())
            return found(static_cast<size_t>(number));
    } else if (kind == L"id") {
        if (!ParseNumber(arg, number)) {
            error = L"bad id in '" + spec + L"'";
            badSpec = true;
            return nullptr;
        }
        for (size_t i = 0; i < children.size(); ++i)
            if (GetDlgCtrlID(children[i]) == number)
                return found(i);
    } else if (kind == L"text") {
        std::vector<std::wstring> texts;
        for (HWND child : children)
            texts.push_back(TextOf(child));
        for (size_t i = 0; i < children.size(); ++i)
            if (texts[i] == arg)
                return found(i);
        for (size_t i = 0; i < children.size(); ++i)
            if (WithoutMnemonics(texts[i]) == WithoutMnemonics(arg))
                return found(i);
    } else if (kind == L"class") {
        std::wstring windowClass = arg;
        long long ordinal = 0;
        const size_t hash = arg.rfind(L'#');
        if (hash != std::wstring::npos) {
            windowClass = arg.substr(0, hash);
            if (!ParseNumber(arg.substr(hash + 1), ordinal) || ordinal < 0) {
                error = L"bad class ordinal in '" + spec + L"'";
                badSpec = true;
                return nullptr;
            }
        }
        for (size_t i = 0; i < children.size(); ++i)
            if (EqualsNoCase(ClassName(children[i]), windowClass) && ordinal-- == 0)
                return found(i);
    } else {
        error = L"bad child spec '" + spec + L"' (use index:N, id:N, text:T or class:C#K)";
        badSpec = true;
        return nullptr;
    }
    error = L"no child matches '" + spec + L"'";
    return nullptr;
}

} // namespace

bool IsCheckable(LONG type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    auto count = SendWithTimeout(combo, CB_GETCOUNT, 0, 0);
    if (!count || *count < 0)
        return items;
    for (LRESULT i = 0; i < *count; ++i) {
        auto length = SendWithTimeout(combo, CB_GETLBTEXTLEN, i, 0);
        std::vector<wchar_t> buffer(static_cast<size_t>(length && *length > 0 ? *length : 0) + 2, L'\0');
        auto got = SendWithTimeout(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        items.emplace_back(got && *got != CB_ERR ? buffer.data() : L"");
    }
    return items;
}

Json ChildInfo(HWND parent, HWND control, size_t index) {
    const std::wstring windowClass = ClassName(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);

    Json json = Json::Object();
    json.Set("index", static_cast<long long>(index))
        .Set("hwnd", reinterpret_cast<UINT_PTR>(control))
        .Set("class", windowClass)
        .Set("id", static_cast<long long>(GetDlgCtrlID(control)))
        .Set("text", TextOf(control))
        .Set("visible", IsWindowVisible(control) != FALSE)
        .Set("enabled", IsWindowEnabled(control) != FALSE)
        .Set("x", rect.left)
        .Set("y", rect.top)
        .Set("w", rect.right - rect.left)
        .Set("h", rect.bottom - rect.top)
        .Set("style", static_cast<unsigned long>(style))
        .Set("exstyle", static_cast<unsigned long>(GetWindowLongW(control, GWL_EXSTYLE)));

    if (EqualsNoCase(windowClass, L"Button")) {
        const LONG type = style & BS_TYPEMASK;
        json.Set("button_type", type).Set("button_type_name", ButtonTypeName(type));
        auto checked = SendWithTimeout(control, BM_GETCHECK, 0, 0);
        json.Set("checked", checked ? Json(static_cast<long long>(*checked)) : Json());
    } else if (EqualsNoCase(windowClass, L"ComboBox")) {
        Json items = Json::Array();
        for (auto& item : ComboItems(control))
            items.Push(item);
        auto selected = SendWithTimeout(control, CB_GETCURSEL, 0, 0);
        json.Set("items", items).Set("selected", selected ? Json(static_cast<long long>(*selected)) : Json());
    } else if (EqualsNoCase(windowClass, PROGRESS_CLASSW)) {
        auto position = SendWithTimeout(control, PBM_GETPOS, 0, 0);
        auto low = SendWithTimeout(control, PBM_GETRANGE, TRUE, 0);
        auto high = SendWithTimeout(control, PBM_GETRANGE, FALSE, 0);
        json.Set("pos", position ? Json(static_cast<long long>(*position)) : Json());
        json.Set("range", Json::Array()
                              .Push(low ? Json(static_cast<long long>(*low)) : Json())
                              .Push(high ? Json(static_cast<long long>(*high)) : Json()));
    } else if (EqualsNoCase(windowClass, L"Static")) {
        json.Set("static_type", static_cast<long long>(style & SS_TYPEMASK));
        json.Set("notify", (style & SS_NOTIFY) != 0);
    }

    auto font = SendWithTimeout(control, WM_GETFONT, 0, 0);
    if (font && *font) {
        LOGFONTW logFont{};
        Json fontJson = Json::Object().Set("handle", static_cast<unsigned long long>(*font));
        if (GetObjectW(reinterpret_cast<HFONT>(*font), sizeof logFont, &logFont) == sizeof logFont) {
            fontJson.Set("height", logFont.lfHeight)
                .Set("weight", logFont.lfWeight)
                .Set("face", logFont.lfFaceName);
        } else {
            // GDI handles are per process; a font the target created is usually unreadable from here.
            fontJson.Set("height", Json()).Set("weight", Json()).Set("face", Json());
        }
        json.Set("font", fontJson);
    } else {
        json.Set("font", Json());
    }
    return json;
}

int FindTarget(const Options& options, const std::wstring& windowClass, const std::wstring& spec,
               Target& target) {
    const WindowFilter filter = FilterFrom(options, windowClass);
    std::wstring error;
    bool badSpec = false;
    const bool ok = PollUntil(options.timeoutMs, [&]() -> bool {
        target.window = WaitForWindow(filter, 0);
        if (!target.window) {
            error = DescribeMissing(filter);
            return false;
        }
        target.child = ResolveSpec(target.window, spec, error, badSpec, &target.index);
        return target.child != nullptr || badSpec;
    });
    if (ok && !badSpec)
        return 0;
    return Fail(error, badSpec ? 2 : 1);
}

// Refuses to act on what a user could not click, unless the caller insists.
int CheckUsable(const Options& options, const Target& target) {
    if (options.force)
        return 0;
    if (!IsWindowEnabled(target.child) || !IsWindowEnabled(target.window))
        return Fail(L"control is disabled (use --force to send anyway)");
    if (!IsWindowVisible(target.child))
        return Fail(L"control is hidden (use --force to send anyway)");
    return 0;
}

Json TargetJson(const Target& target) {
    return Json::Object()
        .Set("hwnd", reinterpret_cast<UINT_PTR>(target.window))
        .Set("child", reinterpret_cast<UINT_PTR>(target.child))
        .Set("index", static_cast<long long>(target.index))
        .Set("class", ClassName(target.child))
        .Set("id", static_cast<long long>(GetDlgCtrlID(target.child)));
}

} // namespace uidriver
