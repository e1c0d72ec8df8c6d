// Typing keys into a window through the input queue, and where the focus is.
#include "UiDriver.h"

#include <algorithm>
#include <cwctype>

namespace uidriver {

namespace {

struct NamedKey {
    const wchar_t* name;
    WORD virtualKey;
    bool extended; // keys of the extended block: without the flag the arrows arrive as the keypad's
};

constexpr NamedKey kNamedKeys[] = {
    {L"TAB", VK_TAB, false},        {L"ENTER", VK_RETURN, false},  {L"RETURN", VK_RETURN, false},
    {L"ESC", VK_ESCAPE, false},     {L"ESCAPE", VK_ESCAPE, false}, {L"SPACE", VK_SPACE, false},
    {L"BACKSPACE", VK_BACK, false}, {L"DELETE", VK_DELETE, true},  {L"INSERT", VK_INSERT, true},
    {L"HOME", VK_HOME, true},       {L"END", VK_END, true},        {L"PAGEUP", VK_PRIOR, true},
    {L"PAGEDOWN", VK_NEXT, true},   {L"LEFT", VK_LEFT, true},      {L"RIGHT", VK_RIGHT, true},
    {L"UP", VK_UP, true},           {L"DOWN", VK_DOWN, true},      {L"SHIFT", VK_SHIFT, false},
    {L"CTRL", VK_CONTROL, false},   {L"ALT", VK_MENU, false},
};

std::optional<NamedKey> KeyByName(const std::wstring& name) {
    for (const NamedKey& key : kNamedKeys)
        if (EqualsNoCase(name, key.name))
            return key;
    // Letters and digits are their own virtual keys; F1..F24 follow each other.
    const wchar_t letter = name.size() == 1 ? std::towupper(name[0]) : 0;
    if ((letter >= L'0' && letter <= L'9') || (letter >= L'A' && letter <= L'Z'))
        return NamedKey{nullptr, static_cast<WORD>(letter), false};
    long long functionKey = 0;
    if (name.size() > 1 && (name[0] == L'F' || name[0] == L'f') && ParseNumber(name.substr(1), functionKey) &&
        functionKey >= 1 && functionKey <= 24)
        return NamedKey{nullptr, static_cast<WORD>(VK_F1 + functionKey - 1), false};
    return std::nullopt;
}

INPUT KeyInput(const NamedKey& key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

// "SHIFT+TAB": the keys go down in order and come up in reverse, as typed.
bool ChordInputs(const std::wstring& chord, std::vector<INPUT>& out, std::wstring& error) {
    std::vector<NamedKey> keys;
    for (size_t start = 0;;) {
        const size_t plus = chord.find(L'+', start);
        const std::wstring name = chord.substr(start, plus == std::wstring::npos ? plus : plus - start);
        auto key = KeyByName(name);
        if (!key) {
            error = L"unknown key '" + name + L"' in '" + chord + L"'";
            return false;
        }
        keys.push_back(*key);
        if (plus == std::wstring::npos)
            break;
        start = plus + 1;
    }
    out.clear();
    for (const NamedKey& key : keys)
        out.push_back(KeyInput(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        out.push_back(KeyInput(*key, true));
    return true;
}

bool SendInputs(std::vector<INPUT>& inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// Key events go to whichever window is in the foreground, so the target must be there first. Windows lets
// only the process that had the last input move the foreground: sharing the current foreground thread's input
// state lifts that, and a synthetic ALT tap counts as our input when even that is refused.
bool BringToForeground(HWND window) {
    auto isForeground = [window] { return GetForegroundWindow() == window; };
    if (isForeground())
        return true;
    const DWORD self = GetCurrentThreadId();
    const DWORD current = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = current && current != self && AttachThreadInput(self, current, TRUE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    bool done = PollUntil(500, isForeground);
    if (!done) {
        const NamedKey alt{L"ALT", VK_MENU, false};
        std::vector<INPUT> tap{KeyInput(alt, false), KeyInput(alt, true)};
        SendInputs(tap);
        SetForegroundWindow(window);
        done = PollUntil(1000, isForeground);
    }
    if (attached)
        AttachThreadInput(self, current, FALSE);
    return done;
}

} // namespace

int RunKeys(const Options& options) {
    if (options.positional.size() < 2)
        return Fail(
            L"usage: keys <class> <key> [<key> ...] [--pid N] [--timeout MS] [--pause MS]; keys such as "
            L"TAB, SHIFT+TAB, ENTER, ESC, SPACE, UP, F4, A, CTRL+A",
            2);
    // Every chord is checked before the first is sent: a typo must not leave half a sequence typed.
    std::vector<std::vector<INPUT>> chords(options.positional.size() - 1);
    Json sent = Json::Array();
    for (size_t i = 1; i < options.positional.size(); ++i) {
        std::wstring error;
        if (!ChordInputs(options.positional[i], chords[i - 1], error))
            return Fail(error, 2);
        sent.Push(options.positional[i]);
    }
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    HWND window = WaitForWindow(filter, options.timeoutMs);
    if (!window)
        return Fail(DescribeMissing(filter));
    if (!BringToForeground(window))
        return Fail(L"cannot bring the window to the foreground");
    // The pause also follows the last key, so the target has had its turn before the caller looks.
    for (auto& chord : chords) {
        if (!SendInputs(chord))
            return Fail(L"SendInput failed");
        Sleep(options.pauseMs);
    }
    Emit(Json::Object()
             .Set("hwnd", reinterpret_cast<UINT_PTR>(window))
             .Set("sent", sent)
             .Set("foreground", GetForegroundWindow() == window));
    return 0;
}

// The focus is a property of the window's thread, so it can be read without the window taking part.
int RunFocus(const Options& options) {
    if (options.positional.size() != 1)
        return Fail(L"usage: focus <class> [--pid N] [--timeout MS]", 2);
    const WindowFilter filter = FilterFrom(options, options.positional[0]);
    HWND window = WaitForWindow(filter, options.timeoutMs);
    if (!window)
        return Fail(DescribeMissing(filter));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return Fail(L"GetGUIThreadInfo failed");
    // A control's inner window (the edit field of a combo box) stands for the control the specs address.
    HWND control = info.hwndFocus;
    while (control && control != window && GetAncestor(control, GA_PARENT) != window)
        control = GetAncestor(control, GA_PARENT);
    Json focus;
    if (control && control != window) {
        const auto children = DirectChildren(window);
        const size_t index = std::find(children.begin(), children.end(), control) - children.begin();
        focus = ChildInfo(window, control, index);
    }
    Emit(Json::Object()
             .Set("hwnd", reinterpret_cast<UINT_PTR>(window))
             .Set("active", info.hwndActive == window)
             .Set("focus_hwnd", info.hwndFocus ? Json(reinterpret_cast<UINT_PTR>(info.hwndFocus)) : Json())
             .Set("focus", focus));
    return 0;
}

} // namespace uidriver
