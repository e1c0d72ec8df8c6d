#include "ui/Keyboard.h"

#include "ui/WindowProc.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The installer window a message is meant for, the window itself or one of
// its controls; null for every other window of the thread (message boxes,
// the language list's drop-down).
InstallerWindow* InstallerWindowFor(HWND target) {
    const HWND root = target ? ::GetAncestor(target, GA_ROOT) : nullptr;
    if (!root || reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(root, GWLP_WNDPROC)) != InstallerWindowProc)
        return nullptr;
    return InstallerWindowOf(root);
}

// Shown and enabled. Its own style, not IsWindowVisible: the window itself
// gets the focus on activation while it is still being shown.
bool CanTakeInput(HWND control) {
    return control && (::GetWindowLongW(control, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

// The main window's control that holds the focus (or holds the window that
// does), or null.
HWND FocusedControl(const InstallerWindowObjects& o) {
    HWND focus = ::GetFocus();
    while (focus && ::GetAncestor(focus, GA_PARENT) != o.mainWindow)
        focus = ::GetAncestor(focus, GA_PARENT);
    return focus;
}

// The controls that Tab stops at now, in their order among their siblings.
std::vector<HWND> TabStops(const InstallerWindowObjects& o) {
    std::vector<HWND> stops;
    for (HWND child = ::GetWindow(o.mainWindow, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && CanTakeInput(child))
            stops.push_back(child);
    return stops;
}

// Tab moves on to the next tab stop, Shift+Tab back to the previous one, and
// both go round. The dialog manager is not asked to: outside a dialog it
// would also take the default-button look from the main button.
void MoveFocus(const InstallerWindowObjects& o, bool backwards) {
    const std::vector<HWND> stops = TabStops(o);
    if (stops.empty())
        return;
    const auto at = std::find(stops.begin(), stops.end(), FocusedControl(o));
    HWND next = nullptr;
    if (at == stops.end())
        next = backwards ? stops.back() : stops.front();
    else if (backwards)
        next = at == stops.begin() ? stops.back() : *(at - 1);
    else
        next = at + 1 == stops.end() ? stops.front() : *(at + 1);
    ::SetFocus(next);
    // The keyboard is in use: from now on the focus is drawn.
    ::SendMessageW(o.mainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// Presses a button exactly as a click does, if it is there to be pressed. The
// dialog manager's own Enter and Esc would name the buttons by control
// identifiers, which the window's buttons do not have.
void Press(const InstallerWindowObjects& o, HWND button) {
    if (CanTakeInput(button))
        ::SendMessageW(o.mainWindow, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
}

// The button Enter presses: the focused one, else the main button, as in a
// dialog. Space already presses the focused button, and Enter must agree.
HWND EnterButton(const InstallerWindowObjects& o) {
    return FocusedControl(o) == o.cancelButton ? o.cancelButton : o.installButton;
}

// Bit 30 of a key message: the key was already down, the message is one of
// the keyboard's automatic repeats.
bool IsRepeat(const MSG& msg) {
    return (msg.lParam & (1L << 30)) != 0;
}

// Acts on Tab, Enter and Esc typed in the window; false for every other
// message and for a key the control with the focus asks for. Enter and Esc
// act once per press: a held Esc must not be a second Cancel.
bool HandleWindowKey(const InstallerWindowObjects& o, MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    const WPARAM key = msg.wParam;
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE)
        return false;
    const LRESULT wanted = ::SendMessageW(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
    if ((wanted & DLGC_WANTMESSAGE) || (key == VK_TAB && (wanted & DLGC_WANTTAB)))
        return false;
    if (key == VK_TAB)
        MoveFocus(o, ::GetKeyState(VK_SHIFT) < 0);
    else if (!IsRepeat(msg))
        Press(o, key == VK_RETURN ? EnterButton(o) : o.cancelButton);
    return true;
}

// The button Enter would press looks like the default button, as the
// dialog manager shows it; the other push button does not.
void ShowDefaultButton(const InstallerWindowObjects& o) {
    const HWND preferred = EnterButton(o);
    for (HWND button : {o.installButton, o.cancelButton}) {
        const LONG type = button == preferred ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (button && (::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) != type)
            ::SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>(type), TRUE);
    }
}

} // namespace

void DispatchLoopMessage(MSG& msg) {
    if (InstallerWindow* const w = InstallerWindowFor(msg.hwnd)) {
        // The focus moves with keys, clicks and screens alike; each message
        // that may have moved it brings the default look along.
        if (!HandleWindowKey(w->objects, msg) && !::IsDialogMessageW(w->objects.mainWindow, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ShowDefaultButton(w->objects);
        return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void SaveFocus(InstallerWindow& w) {
    w.focusToRestore = FocusedControl(w.objects);
}

void RestoreFocus(InstallerWindow& w) {
    const InstallerWindowObjects& o = w.objects;
    for (HWND candidate : {std::exchange(w.focusToRestore, nullptr), o.installButton, o.cancelButton}) {
        if (CanTakeInput(candidate)) {
            ::SetFocus(candidate);
            return;
        }
    }
}
