#pragma once

// True on Windows 10 (version 10.0) and later. The answer depends on the
// executable's manifest: without its Windows 10 compatibility entry, Windows 10
// reports version 6.2 and this is false. A failing test counts as earlier Windows.
bool IsWindows10OrLater();
