// Message boxes: reading one and answering it.
#include "UiDriver.h"

#include <algorithm>

namespace uidriver {

namespace {

struct ShownMessageBox {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    struct Button {
        HWND hwnd;
        int id;
        std::wstring text;
        bool isDefault;
    };
    std::vector<Button> buttons;
};

// The message is the dialog's non-empty text statics, excluding icons; the message-text static (id 0xFFFF on
// both Windows and Wine) goes first when present.
ShownMessageBox ReadMessageBox(HWND dialog) {
    ShownMessageBox box;
    box.hwnd = dialog;
    box.caption = CaptionOf(dialog);
    std::vector<std::wstring> texts;
    for (HWND child : DirectChildren(dialog)) {
        const std::wstring windowClass = ClassName(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (EqualsNoCase(windowClass, L"Static")) {
            const LONG type = style & SS_TYPEMASK;
            if (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE || type == SS_OWNERDRAW)
                continue;
            std::wstring text = TextOf(child);
            if (text.empty())
                continue;
            if ((GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF)
                texts.insert(texts.begin(), text);
            else
                texts.push_back(text);
        } else if (EqualsNoCase(windowClass, L"Button") && IsWindowVisible(child)) {
            const LONG type = style & BS_TYPEMASK;
            box.buttons.push_back({child, GetDlgCtrlID(child), TextOf(child), type == BS_DEFPUSHBUTTON});
        } else if (EqualsNoCase(windowClass, L"Edit")) {
            std::wstring text = TextOf(child);
            if (!text.empty())
                texts.push_back(text);
        }
    }
    for (size_t i = 0; i < texts.size(); ++i)
        box.text += (i ? L"\n" : L"") + texts[i];
    return box;
}

Json MessageBoxJson(const ShownMessageBox& box) {
    Json buttons = Json::Array();
    Json buttonTexts = Json::Array();
    for (auto& button : box.buttons) {
        buttons.Push(Json::Object()
                         .Set("id", button.id)
                         .Set("text", button.text)
                         .Set("default", button.isDefault)
                         .Set("hwnd", reinterpret_cast<UINT_PTR>(button.hwnd)));
        buttonTexts.Push(button.text);
    }
    return Json::Object()
        .Set("hwnd", reinterpret_cast<UINT_PTR>(box.hwnd))
        .Set("pid", static_cast<unsigned long>(WindowProcessId(box.hwnd)))
        .Set("caption", box.caption)
        .Set("text", box.text)
        .Set("button_texts", buttonTexts)
        .Set("buttons", buttons);
}

} // namespace

HWND FindMessageBox(const Options& options) {
    WindowFilter filter = FilterFrom(options, L"#32770");
    filter.visibleOnly = true;
    return PollUntil(options.timeoutMs, [&]() -> HWND {
        auto found = MatchingWindows(filter);
        return found.empty() ? nullptr : found.front();
    });
}

int RunMessageBox(const Options& options) {
    if (!options.positional.empty())
        return Fail(L"usage: msgbox [--pid N] [--exe NAME] [--timeout MS] [--answer] [--button TEXT]", 2);
    HWND dialog = FindMessageBox(options);
    if (!dialog)
        return Fail(L"no message box" +
                    (options.pid ? L" owned by pid " + std::to_wstring(options.pid) : std::wstring()));
    ShownMessageBox box = ReadMessageBox(dialog);
    Json out = MessageBoxJson(box);
    if (!options.answer) {
        Emit(out);
        return 0;
    }
    const ShownMessageBox::Button* press = nullptr;
    if (options.button) {
        for (auto& button : box.buttons)
            if (!press && (button.text == *options.button ||
                           WithoutMnemonics(button.text) == WithoutMnemonics(*options.button)))
                press = &button;
        if (!press)
            return Fail(L"message box has no button '" + *options.button + L"'");
    } else {
        for (auto& button : box.buttons)
            if (!press && button.id == IDOK)
                press = &button;
        for (auto& button : box.buttons)
            if (!press && button.isDefault)
                press = &button;
        if (!press && !box.buttons.empty())
            press = &box.buttons.front();
    }
    const int id = press ? press->id : IDOK;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(press ? press->hwnd : nullptr));
    const bool gone = PollUntil(std::max<DWORD>(options.timeoutMs, 5000), [&] { return !IsWindow(dialog); });
    out.Set("answered", press ? Json(press->text) : Json(L"OK")).Set("answered_id", id).Set("gone", gone);
    Emit(out);
    return gone ? 0 : 1;
}

} // namespace uidriver
