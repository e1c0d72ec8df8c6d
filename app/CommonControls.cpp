#include "app/CommonControls.h"

#include "profile/SystemFolderPath.h"

#include <windows.h>
#include <commctrl.h>

void RegisterProgressBarClass() {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Never released: the class must outlive every progress bar.
    const HMODULE library = ::LoadLibraryW((SystemFolderPath() + L"\\comctl32.dll").c_str());
    if (!library)
        return;
    const auto init =
        reinterpret_cast<InitFn>(reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControlsEx")));
    if (!init)
        return;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_PROGRESS_CLASS;
    init(&controls);
}
