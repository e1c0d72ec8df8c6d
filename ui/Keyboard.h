#pragma once
// The installer window's keyboard interface. The window is not a dialog, so
// the thread's message loop hands every message to DispatchLoopMessage, which
// lets the window act on its keys before anything else sees them.
// User-interface thread only.
#include "ui/InstallerWindow.h"

#include <windows.h>

// One message taken from the thread's queue. Keys typed in the installer
// window: Tab and Shift+Tab move the focus through the controls in their
// order, Enter presses the focused push button (the main button when the
// focus is on anything else) and Esc presses Cancel, each only while that
// button is shown and once per press (automatic repeats do nothing), and the
// others go through the dialog manager (IsDialogMessageW). A control that
// asks for a key (the opened language list, for Enter and Esc) gets it
// instead. Everything else is translated and dispatched. Afterwards the
// button Enter would press has the default button's look.
void DispatchLoopMessage(MSG& msg);

// The window is being deactivated: remember which of its controls has the
// focus.
void SaveFocus(InstallerWindow& w);

// The window itself has received the focus: on activation, or because the
// control that had it was hidden. Passes it on to the control remembered on
// deactivation if it can still take it, else to the main button, else to
// Cancel; with none of them shown the window keeps it.
void RestoreFocus(InstallerWindow& w);
