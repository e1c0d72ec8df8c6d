#pragma once
#include "install/InstallSession.h"
#include "profile/ProductProfile.h"
#include "ui/LogoImage.h"
#include "ui/WindowInputs.h"
#include "ui/WindowLayout.h"
#include "ui/WindowState.h"
#include "ui/WorkerRun.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

// The window's two fonts made for one DPI.
struct UiFonts {
    int dpi = 0;
    HFONT small = nullptr;
    HFONT large = nullptr;
};

// The installer's one top-level window's ten child controls, its two fonts,
// the logo and the brush of the static texts. Created once and kept until the
// process ends; none of it is ever destroyed explicitly (the fonts and the
// brush could only be freed through gdi32, which the installer does not
// import). The fonts are made once for every DPI the window is shown at, so
// moving between two displays back and forth makes no new ones.
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
    // The fonts of the current DPI.
    HFONT smallFont = nullptr;
    HFONT largeFont = nullptr;
    std::vector<UiFonts> fonts;
    // The DPI the window is laid out for.
    int dpi = kDesignDpi;
    std::optional<LogoImage> logoImage;
    // The logo's place in the design, as the profile gives it.
    Box logoPlace;
    HBRUSH staticBrush = nullptr;
};

// Everything of the installer window: what start-up handed it (the product's
// profile, which must outlive the window, and the inputs), its controls, its
// state and the runs it starts. Its owner keeps it for as long as the window
// exists (the installer: until the process ends); the window procedure finds
// it through the window. User-interface thread only, except the sessions and
// the profile, which the runs' workers borrow.
struct InstallerWindow {
    InstallerWindow(const ProductProfile& productProfile, WindowInputs windowInputs)
        : profile(productProfile), inputs(std::move(windowInputs)) {
        state.flow.uninstallMode = inputs.uninstallMode;
    }
    InstallerWindow(const InstallerWindow&) = delete;
    InstallerWindow& operator=(const InstallerWindow&) = delete;

    const ProductProfile& profile;
    const WindowInputs inputs;
    InstallerWindowObjects objects;
    WindowState state;
    // The install run, made when it starts; Cancel asks it to stop.
    std::optional<InstallSession> installRun;
    // The latest uninstall run.
    std::optional<InstallSession> uninstallRun;
    // The thread of the run on view.
    std::optional<WorkerRun> worker;
    // The control that had the keyboard focus when the window was last
    // deactivated; it gets the focus back on activation.
    HWND focusToRestore = nullptr;
};

// Registers the window class, named by string resource 109 of the running
// executable ("TESTSETUP").
void RegisterInstallerWindowClass(HINSTANCE instance);

// Starts GDI+, creates the main window for `window` centred on the primary
// screen with its controls, and shows it with the given show code on the
// opening screen the records call for. False when the main window cannot be
// created.
bool CreateInstallerWindow(InstallerWindow& window, HINSTANCE instance, int showCode);

// The object a window made by CreateInstallerWindow belongs to; null for any
// other window, and before the object has been attached.
InstallerWindow* InstallerWindowOf(HWND window);

// Called with WM_NCCREATE: the object CreateInstallerWindow passed along
// becomes the one InstallerWindowOf finds.
void AttachInstallerWindow(HWND window, const CREATESTRUCTW& creation);

// The version line and the release-notes link share one row, and their places
// overlap in the middle. A static control paints its whole rectangle, so the
// one painted last would wipe out part of the other's text (with longer
// translations, the start of the link). Both are narrowed to their texts:
// the version line keeps its left edge, the link its right edge. Called
// whenever either text changes.
void FitVersionLineAndLink(const InstallerWindowObjects& w);

// "Segoe UI" with the given character height in pixels.
HFONT CreateUiFont(int height);

// The window's DPI: the display's it is on where Windows tells (Windows 10
// 1607 and later), else the system's.
int WindowDpi(HWND window);

// The places of the window's controls and drawings at its current DPI.
WindowLayout CurrentLayout(const InstallerWindowObjects& w);

// Lays the controls out anew for dpi, with fonts of that size, and has the
// window repainted; the window's own size is the caller's.
void LayOutForDpi(InstallerWindowObjects& w, int dpi);

// Draws the logo and the separator line; called between BeginPaint and EndPaint.
void PaintInstallerWindow(const InstallerWindowObjects& w, HDC dc);

// Colours a static control (or the check box) and returns its background brush.
HBRUSH ColorStaticControl(InstallerWindowObjects& w, HDC dc, HWND control);

// Lists the carried languages and selects the current one.
void FillLanguageCombo(HWND combo);
