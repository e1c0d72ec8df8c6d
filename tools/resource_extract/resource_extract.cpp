// Writes one resource of a Windows executable to a file:
//   resource_extract <exe> <type-number> <id-number> <output-file>
// Used by tests and test fixtures to get at what the installer carries (the
// archive tool in particular) without running the installer.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: resource_extract <exe> <type> <id> <out>\n");
        return 2;
    }
    HMODULE module = ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        std::fwprintf(stderr, L"cannot load %ls (error %lu)\n", argv[1], ::GetLastError());
        return 1;
    }
    const auto type = static_cast<WORD>(std::wcstoul(argv[2], nullptr, 10));
    const auto id = static_cast<WORD>(std::wcstoul(argv[3], nullptr, 10));
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    if (!data) {
        std::fwprintf(stderr, L"resource %u/%u not found\n", type, id);
        return 1;
    }
    HANDLE out = ::CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = out != INVALID_HANDLE_VALUE && ::WriteFile(out, data, size, &written, nullptr) && written == size;
    if (out != INVALID_HANDLE_VALUE)
        ::CloseHandle(out);
    ::FreeLibrary(module);
    return ok ? 0 : 1;
}
