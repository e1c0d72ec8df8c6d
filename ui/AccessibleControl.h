#pragma once
// What accessibility clients such as screen readers are told about the two
// controls whose standard description falls short. The release-notes link is
// a static text, which the system describes as plain text; the progress bar's
// position is not reported by every system's description. The window answers
// their request (WM_GETOBJECT) for these with the system's own description,
// changed only where it falls short. User-interface thread only.
#include <windows.h>

enum class AccessibleKind {
    // The role of a link; it can take the focus.
    Link,
    // The role of a progress bar; its value is its position, as "45%".
    ProgressBar,
};

// The answer to a WM_GETOBJECT for OBJID_CLIENT of the control, given the
// message's wParam; 0 when it cannot be made, and the system's description
// then stands.
LRESULT AccessibleObjectFor(HWND control, AccessibleKind kind, WPARAM wParam);

// Has the progress bar answer WM_GETOBJECT as a ProgressBar; everything else
// it handles as before.
void DescribeProgressBarPosition(HWND bar);
