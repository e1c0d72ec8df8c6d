#include "ui/CommonControls.h"

#include "platform/SystemLibrary.h"

#include <windows.h>
#include <commctrl.h>

void RegisterProgressBarClass() {
    BOOL(WINAPI * init)(const INITCOMMONCONTROLSEX*) = nullptr;
    // The library stays loaded: the class must outlive every progress bar.
    if (!BindSystemLibrary(L"comctl32.dll").Bind("InitCommonControlsEx", init))
        return;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_PROGRESS_CLASS;
    init(&controls);
}
