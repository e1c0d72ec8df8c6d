#pragma once
// The release-notes link is a static text that the mouse clicks. For the
// keyboard and assistive tools it is made a link as well: it takes the focus
// (it is a tab stop), draws the focus cue while it has the focus and cues
// are shown, opens on Enter or Space exactly as on a click, and describes
// itself to accessibility clients as a link. It draws its text as before.
// User-interface thread only.
#include <windows.h>

// Gives the static control the link's keyboard and accessibility behaviour.
void MakeStaticTextALink(HWND link);
