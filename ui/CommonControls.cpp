#include "ui/CommonControls.h"

#include "platform/SystemLibrary.h"

#include <windows.h>
#include <commctrl.h>

namespace {

// The library stays loaded: the class must outlive every progress bar.
struct CommonControlFunctions {
    static constexpr const wchar_t* kLibrary = L"comctl32.dll";

    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;

    bool BindFrom(const SystemLibrary& library) {
        return library.Bind("InitCommonControlsEx", initCommonControlsEx);
    }
};

} // namespace

void RegisterProgressBarClass() {
    const CommonControlFunctions* comctl = SystemFunctions<CommonControlFunctions>();
    if (!comctl)
        return;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_PROGRESS_CLASS;
    comctl->initCommonControlsEx(&controls);
}
