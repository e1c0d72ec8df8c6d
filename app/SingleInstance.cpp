#include "app/SingleInstance.h"

#include "common/UniqueHandle.h"

#include <windows.h>

bool AcquireSingleInstance(const std::wstring& name) {
    unique_handle mutex(::CreateMutexW(nullptr, TRUE, name.c_str()));
    const DWORD error = ::GetLastError();
    if (mutex && error == ERROR_ALREADY_EXISTS)
        return false;
    // Deliberately never closed: holding it is the whole point.
    mutex.release();
    return true;
}
