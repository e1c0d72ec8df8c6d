#include "ui/InstallerWindow.h"

#include "common/UniqueHandle.h"
#include "i18n/LanguageSelection.h"
#include "i18n/TranslationCatalog.h"
#include "platform/SystemLibrary.h"
#include "resource_ids.h"
#include "ui/AccessibleControl.h"
#include "ui/CommonControls.h"
#include "ui/GdiApi.h"
#include "ui/GdiPlusApi.h"
#include "ui/Keyboard.h"
#include "ui/ReleaseNotesLink.h"
#include "ui/ScreenTexts.h"
#include "ui/WindowProc.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>

namespace {

// Bound at run time: Windows 7 and 8 lack it, and the installer must start there.
struct DpiFunctions {
    static constexpr const wchar_t* kLibrary = L"user32.dll";

    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;

    bool BindFrom(const SystemLibrary& library) { return library.Bind("GetDpiForWindow", getDpiForWindow); }
};

constexpr COLORREF kLinkColor = RGB(0, 112, 187);
constexpr COLORREF kTextColor = RGB(0, 0, 0);
constexpr COLORREF kStaticBackground = RGB(255, 255, 255);

// String resource 109 of the module.
std::wstring WindowClassName(HINSTANCE instance) {
    wchar_t name[100] = {};
    ::LoadStringW(instance, IDS_WINDOW_CLASS, name, static_cast<int>(std::size(name)));
    return name;
}

HWND CreateControl(const InstallerWindowObjects& w, const wchar_t* className, const std::wstring& text,
                   DWORD style, const Box& place, int id = 0) {
    return ::CreateWindowExW(0, className, text.c_str(), WS_CHILD | style, place.left, place.top, place.width,
                             place.height, w.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             w.instance, nullptr);
}

void Place(HWND control, const Box& place) {
    // Repainted whole (no copied bits): the text may have changed with the size.
    ::SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

void SetFont(HWND control, HFONT font) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// The ten controls in their fixed order; the first texts come from the
// current language.
void CreateControls(InstallerWindowObjects& w, const std::wstring& product, const WindowInputs& inputs) {
    const TranslationCatalog& c = Catalog();
    const WindowLayout l = CurrentLayout(w);

    w.installButton = CreateControl(w, L"Button", c.Translate(L"IDS_INSTALL"),
                                    WS_VISIBLE | WS_TABSTOP | BS_FLAT | BS_DEFPUSHBUTTON, l.installButton);
    w.cancelButton = CreateControl(w, L"Button", c.Translate(L"IDS_CANCEL"),
                                   WS_VISIBLE | WS_TABSTOP | BS_FLAT | BS_PUSHBUTTON, l.cancelButton);
    w.launchCheckBox = CreateControl(w, L"Button", c.Translate(L"IDS_LAUNCH_HELMVIEW", {product}),
                                     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, l.launchCheckBox, 1);
    // The height covers the closed field and the dropped-down list.
    w.languageCombo = CreateControl(
        w, L"ComboBox", L"", WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_HASSTRINGS, l.languageCombo);
    FillLanguageCombo(w.languageCombo);
    // Shares its place with the combo and replaces it while a run is under way.
    w.progressBar = CreateControl(w, PROGRESS_CLASSW, L"", PBS_SMOOTH, l.progressBar);
    ::SendMessageW(w.progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessageW(w.progressBar, PBM_SETSTEP, 1, 0);
    w.releaseNotesLink = CreateControl(w, L"STATIC", c.Translate(L"IDS_VIEW_RELEASE_NOTES"),
                                       WS_VISIBLE | WS_TABSTOP | SS_RIGHT | SS_NOTIFY, l.releaseNotesLink);
    w.bodyText = CreateControl(w, L"STATIC", L"", WS_VISIBLE | SS_LEFT, l.bodyText);
    w.languageLabel = CreateControl(w, L"STATIC", c.Translate(L"options_select_language"),
                                    WS_VISIBLE | SS_LEFT, l.languageLabel);
    w.versionLine = CreateControl(w, L"STATIC", VersionLineText(product, ShownVersion(inputs)),
                                  WS_VISIBLE | SS_LEFT, l.versionLine);
    w.installerVersionLine =
        CreateControl(w, L"STATIC", InstallerVersionLineText(), WS_VISIBLE | SS_LEFT, l.installerVersionLine);
}

// The controls' order among their siblings is the order in which keyboard
// navigation and screen readers go through them, so it follows the reading
// order rather than the order of creation: Tab goes from the language list
// to the launch box, the link, Cancel and the main button; the list comes
// right after its label, which makes the label its name for screen readers,
// and the progress bar right after the body text, which names it likewise.
void ArrangeInReadingOrder(const InstallerWindowObjects& w) {
    const HWND order[] = {w.bodyText,       w.progressBar,         w.languageLabel,    w.languageCombo,
                          w.launchCheckBox, w.versionLine,         w.releaseNotesLink, w.cancelButton,
                          w.installButton,  w.installerVersionLine};
    HWND previous = HWND_TOP;
    for (HWND control : order) {
        ::SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
}

// Width of a control's text in its own font.
int TextWidth(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    const unique_window_dc dc(control);
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? GdiApi::SelectObject(dc.get(), font) : nullptr;
    RECT extent = {};
    ::DrawTextW(dc.get(), text.c_str(), length, &extent, DT_CALCRECT | DT_SINGLELINE);
    if (previous)
        GdiApi::SelectObject(dc.get(), previous);
    return extent.right - extent.left;
}

// Gives the controls that have their own font the current DPI's, made on
// the first visit to that DPI. The check box keeps the system's font.
void UseFontsForDpi(InstallerWindowObjects& w) {
    auto fonts =
        std::find_if(w.fonts.begin(), w.fonts.end(), [&](const UiFonts& f) { return f.dpi == w.dpi; });
    if (fonts == w.fonts.end()) {
        const WindowLayout l = CurrentLayout(w);
        fonts = w.fonts.insert(
            w.fonts.end(), UiFonts{w.dpi, CreateUiFont(l.smallFontHeight), CreateUiFont(l.largeFontHeight)});
    }
    w.smallFont = fonts->small;
    w.largeFont = fonts->large;
    for (HWND large : {w.installButton, w.cancelButton, w.bodyText, w.versionLine})
        SetFont(large, w.largeFont);
    for (HWND small : {w.languageCombo, w.languageLabel, w.installerVersionLine, w.releaseNotesLink})
        SetFont(small, w.smallFont);
}

} // namespace

void RegisterInstallerWindowClass(HINSTANCE instance) {
    const std::wstring className = WindowClassName(instance);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = InstallerWindowProc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_INSTALLER));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_INSTALLER), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = className.c_str();
    ::RegisterClassExW(&wc);
}

InstallerWindow* InstallerWindowOf(HWND window) {
    return reinterpret_cast<InstallerWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void AttachInstallerWindow(HWND window, const CREATESTRUCTW& creation) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation.lpCreateParams));
}

bool CreateInstallerWindow(InstallerWindow& installer, HINSTANCE instance, int showCode) {
    const ProductProfile& profile = installer.profile;
    InstallerWindowObjects& w = installer.objects;
    w.instance = instance;
    w.logoPlace = {profile.logoX(), profile.logoY(), profile.logoWidth(), profile.logoHeight()};
    GdiPlusApi::Start();

    // A title bar with close and minimise boxes only: the size is fixed.
    const HWND window =
        ::CreateWindowExW(0, WindowClassName(instance).c_str(), profile.installerTitle().c_str(),
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, 0,
                          CW_USEDEFAULT, 0, nullptr, nullptr, instance, &installer);
    if (!window)
        return false;
    w.mainWindow = window;
    w.dpi = WindowDpi(window);

    // Integer division truncates toward zero, also for a screen smaller than the window.
    const Box size = CurrentLayout(w).window;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - size.width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - size.height) / 2;
    ::SetWindowPos(window, nullptr, left, top, size.width, size.height, SWP_NOZORDER);

    w.logoImage = LoadLogo(profile.logoResourceId());
    RegisterProgressBarClass();
    CreateControls(w, profile.productName(), installer.inputs);
    ArrangeInReadingOrder(w);
    MakeStaticTextALink(w.releaseNotesLink);
    DescribeProgressBarPosition(w.progressBar);

    ::SendMessageW(w.launchCheckBox, BM_SETCHECK, BST_CHECKED, 0);
    ::ShowWindow(w.launchCheckBox, SW_HIDE);

    UseFontsForDpi(w);
    FitVersionLineAndLink(w);

    // The cursor belongs to the classes: every button and static text of the
    // process shows the hand.
    const auto hand = reinterpret_cast<LONG_PTR>(::LoadCursorW(nullptr, IDC_HAND));
    ::SetClassLongPtrW(w.installButton, GCLP_HCURSOR, hand);
    ::SetClassLongPtrW(w.releaseNotesLink, GCLP_HCURSOR, hand);

    // Focus cues show from the start only if the keyboard started the
    // installer; otherwise they show once it is used.
    ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);

    ::ShowWindow(window, showCode);
    // The records are read once for the opening screen, before the controls
    // first paint themselves.
    ReadRecords(installer);
    // Moving the hidden window to the centre may already have activated it,
    // before it had controls to pass the focus on to.
    if (::GetFocus() == window)
        RestoreFocus(installer);
    ::UpdateWindow(window);
    return true;
}

void FitVersionLineAndLink(const InstallerWindowObjects& w) {
    const WindowLayout l = CurrentLayout(w);
    Box version = l.versionLine;
    version.width = std::min(version.width, TextWidth(w.versionLine) + l.textSlack);
    Place(w.versionLine, version);
    Box link = l.releaseNotesLink;
    link.width = std::min(link.width, TextWidth(w.releaseNotesLink) + l.textSlack);
    link.left = l.releaseNotesLink.right() - link.width;
    Place(w.releaseNotesLink, link);
}

HFONT CreateUiFont(int height) {
    LOGFONTW font = {};
    font.lfHeight = -height;
    font.lfWeight = FW_NORMAL;
    std::wcsncpy(font.lfFaceName, L"Segoe UI", LF_FACESIZE - 1);
    return GdiApi::CreateFontIndirectW(&font);
}

int WindowDpi(HWND window) {
    if (const DpiFunctions* user32 = SystemFunctions<DpiFunctions>()) {
        if (const UINT dpi = user32->getDpiForWindow(window))
            return static_cast<int>(dpi);
    }
    const unique_window_dc dc(window);
    const int dpi = dc ? GdiApi::GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

WindowLayout CurrentLayout(const InstallerWindowObjects& w) {
    return LayoutAtDpi(w.dpi, w.logoPlace);
}

void LayOutForDpi(InstallerWindowObjects& w, int dpi) {
    w.dpi = dpi;
    const WindowLayout l = CurrentLayout(w);
    const std::pair<HWND, Box> places[] = {
        {w.installButton, l.installButton},   {w.cancelButton, l.cancelButton},
        {w.launchCheckBox, l.launchCheckBox}, {w.languageCombo, l.languageCombo},
        {w.progressBar, l.progressBar},       {w.bodyText, l.bodyText},
        {w.languageLabel, l.languageLabel},   {w.installerVersionLine, l.installerVersionLine}};
    for (const auto& [control, place] : places)
        Place(control, place);
    UseFontsForDpi(w);
    FitVersionLineAndLink(w);
    ::InvalidateRect(w.mainWindow, nullptr, TRUE);
}

void PaintInstallerWindow(const InstallerWindowObjects& w, HDC dc) {
    const WindowLayout l = CurrentLayout(w);
    // Scaled smoothly away from the design's size; at 96 DPI drawn as it always was.
    if (w.logoImage)
        w.logoImage->Draw(dc, l.logo.left, l.logo.top, l.logo.width, l.logo.height, w.dpi != kDesignDpi);
    const RECT separator{l.separator.left, l.separator.top, l.separator.right(), l.separator.bottom()};
    ::FillRect(dc, &separator, static_cast<HBRUSH>(GdiApi::GetStockObject(BLACK_BRUSH)));
}

HBRUSH ColorStaticControl(InstallerWindowObjects& w, HDC dc, HWND control) {
    GdiApi::SetTextColor(dc, control == w.releaseNotesLink ? kLinkColor : kTextColor);
    GdiApi::SetBkMode(dc, OPAQUE);
    if (!w.staticBrush)
        w.staticBrush = GdiApi::CreateSolidBrush(kStaticBackground);
    return w.staticBrush;
}

void FillLanguageCombo(HWND combo) {
    const LanguageList list = LanguageListItems();
    for (const std::wstring& item : list.items)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, list.selected, 0);
}
