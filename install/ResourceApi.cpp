#include "install/ResourceApi.h"

#include "profile/SystemFolderPath.h"

#include <string>

namespace {

using FindFn = HRSRC(WINAPI*)(HMODULE, LPCWSTR, LPCWSTR);
using LoadFn = HGLOBAL(WINAPI*)(HMODULE, HRSRC);
using SizeFn = DWORD(WINAPI*)(HMODULE, HRSRC);
using LockFn = LPVOID(WINAPI*)(HGLOBAL);
using FreeFn = BOOL(WINAPI*)(HGLOBAL);

struct Table {
    FindFn find = nullptr;
    LoadFn load = nullptr;
    SizeFn size = nullptr;
    LockFn lock = nullptr;
    FreeFn free = nullptr;
};

template <typename Fn> Fn Resolve(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name))) : nullptr;
}

// Filled once, thread-safely, by whichever thread needs it first (the window
// for the logo, or a worker for the archive tool). The library stays loaded
// for the life of the process.
const Table& Api() {
    static const Table table = [] {
        const std::wstring path = SystemFolderPath() + L"\\kernel32.dll";
        HMODULE library = ::LoadLibraryW(path.c_str());
        Table t;
        t.find = Resolve<FindFn>(library, "FindResourceW");
        t.load = Resolve<LoadFn>(library, "LoadResource");
        t.size = Resolve<SizeFn>(library, "SizeofResource");
        t.lock = Resolve<LockFn>(library, "LockResource");
        t.free = Resolve<FreeFn>(library, "FreeResource");
        return t;
    }();
    return table;
}

} // namespace

HRSRC ResourceApi::FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    const auto fn = Api().find;
    return fn ? fn(module, name, type) : nullptr;
}

HGLOBAL ResourceApi::LoadResource(HMODULE module, HRSRC resource) {
    const auto fn = Api().load;
    return fn ? fn(module, resource) : nullptr;
}

DWORD ResourceApi::SizeofResource(HMODULE module, HRSRC resource) {
    const auto fn = Api().size;
    return fn ? fn(module, resource) : 0;
}

LPVOID ResourceApi::LockResource(HGLOBAL loaded) {
    const auto fn = Api().lock;
    return fn ? fn(loaded) : nullptr;
}

BOOL ResourceApi::FreeResource(HGLOBAL loaded) {
    const auto fn = Api().free;
    return fn ? fn(loaded) : FALSE;
}
