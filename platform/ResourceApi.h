#pragma once
#include <windows.h>

// The Win32 resource functions, reached through kernel32 loaded by full path
// from the System folder and resolved by name at first use. A function that
// cannot be resolved is never called: its wrapper returns the failure value
// (null, 0 or FALSE) instead.
class ResourceApi {
  public:
    static HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
    static HGLOBAL LoadResource(HMODULE module, HRSRC resource);
    static DWORD SizeofResource(HMODULE module, HRSRC resource);
    static LPVOID LockResource(HGLOBAL loaded);
};

// A loaded resource is given back by its holder, unique_resource.
