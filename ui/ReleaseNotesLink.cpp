#include "ui/ReleaseNotesLink.h"

#include "common/UniqueHandle.h"
#include "ui/AccessibleControl.h"

namespace {

// The static class's own procedure, which does everything not handled here.
LRESULT CallStatic(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto staticProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(link, GCLP_WNDPROC));
    return ::CallWindowProcW(staticProc, link, message, wParam, lParam);
}

// Tells the window that the link was pressed, as a click does.
void Press(HWND link) {
    ::SendMessageW(::GetParent(link), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(link), STN_CLICKED),
                   reinterpret_cast<LPARAM>(link));
}

bool ShowsFocusCue(HWND link) {
    return ::GetFocus() == link && !(::SendMessageW(link, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter opens the link rather than pressing the main button.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const LRESULT code = CallStatic(link, message, wParam, lParam);
        return key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN ? code | DLGC_WANTMESSAGE : code;
    }
    case WM_KEYDOWN:
        // A key held down repeats; it opens the notes once.
        if ((wParam == VK_RETURN || wParam == VK_SPACE) && !(lParam & (1L << 30))) {
            Press(link);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::InvalidateRect(link, nullptr, TRUE);
        break;
    case WM_UPDATEUISTATE: {
        const LRESULT result = CallStatic(link, message, wParam, lParam);
        ::InvalidateRect(link, nullptr, TRUE);
        return result;
    }
    case WM_PAINT: {
        // The text as the static control draws it, then the dotted focus
        // rectangle around it. The rectangle is drawn by inverting, so the
        // whole control is repainted under it, or a partial repaint would
        // invert part of it back.
        const bool cue = ShowsFocusCue(link);
        if (cue)
            ::InvalidateRect(link, nullptr, TRUE);
        const LRESULT result = CallStatic(link, message, wParam, lParam);
        if (cue) {
            RECT area;
            ::GetClientRect(link, &area);
            const unique_window_dc dc(link);
            ::DrawFocusRect(dc.get(), &area);
        }
        return result;
    }
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
            if (const LRESULT object = AccessibleObjectFor(link, AccessibleKind::Link, wParam))
                return object;
        }
        break;
    }
    return CallStatic(link, message, wParam, lParam);
}

} // namespace

void MakeStaticTextALink(HWND link) {
    ::SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc));
}
