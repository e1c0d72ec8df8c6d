#pragma once
#include "app/LogoImage.h"

#include <windows.h>

#include <optional>

// The installer's one top-level window, its ten child controls, its two fonts,
// the logo and the brush of the static texts. Created once and kept until the
// process ends; none of it is ever destroyed explicitly (the fonts and the
// brush could only be freed through gdi32, which the installer does not
// import). User-interface thread only.
struct InstallerWindowObjects {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HWND installButton = nullptr;
    HWND cancelButton = nullptr;
    HWND launchCheckBox = nullptr;
    HWND languageCombo = nullptr;
    HWND progressBar = nullptr;
    HWND releaseNotesLink = nullptr;
    HWND bodyText = nullptr;
    HWND languageLabel = nullptr;
    HWND versionLine = nullptr;
    HWND installerVersionLine = nullptr;
    HFONT smallFont = nullptr;
    HFONT largeFont = nullptr;
    std::optional<LogoImage> logoImage;
    HBRUSH staticBrush = nullptr;
};

InstallerWindowObjects& Window();

// Fixed outer size of the main window.
constexpr int kWindowWidth = 490;
constexpr int kWindowHeight = 357;

// Registers the window class, named by string resource 109 of the running
// executable ("TESTSETUP").
void RegisterInstallerWindowClass(HINSTANCE instance);

// Starts GDI+, creates the main window centred on the primary screen with its
// controls, and shows it with the given show code; the first paint shows the
// opening screen. False when the main window cannot be created.
bool CreateInstallerWindow(HINSTANCE instance, int showCode);

// The version line and the release-notes link share one row, and their places
// overlap in the middle. A static control paints its whole rectangle, so the
// one painted last would wipe out part of the other's text (with longer
// translations, the start of the link). Both are narrowed to their texts:
// the version line keeps its left edge, the link its right edge. Called
// whenever either text changes.
void FitVersionLineAndLink();

// "Segoe UI" at the given size in points for the window's device.
HFONT CreateUiFont(HWND window, int points);

// Draws the logo and the separator line; called between BeginPaint and EndPaint.
void PaintInstallerWindow(HDC dc);

// Colours a static control (or the check box) and returns its background brush.
HBRUSH ColorStaticControl(HDC dc, HWND control);

// Lists the carried languages and selects the current one.
void FillLanguageCombo(HWND combo);
