#pragma once
// What the release-notes link tells accessibility clients such as screen
// readers. It is a static text, so the system would describe it as plain
// text; the window answers their request (WM_GETOBJECT) for it instead with
// the system's own description, changed only where a link differs: its role
// is a link, and it can take the focus. User-interface thread only.
#include <windows.h>

// The answer to a WM_GETOBJECT for OBJID_CLIENT of the link, given the
// message's wParam; 0 when it cannot be made, and the system's description
// then stands.
LRESULT LinkAccessibleObject(HWND link, WPARAM wParam);
