#include "app/SingleInstance.h"

#include <windows.h>

bool AcquireSingleInstance(const std::wstring& name) {
    // Deliberately never closed: holding it is the whole point.
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name.c_str());
    const DWORD error = ::GetLastError();
    if (mutex && error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    return true;
}
