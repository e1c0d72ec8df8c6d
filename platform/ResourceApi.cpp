#include "platform/ResourceApi.h"

#include "platform/SystemLibrary.h"

namespace {

struct Table {
    HRSRC(WINAPI* find)(HMODULE, LPCWSTR, LPCWSTR) = nullptr;
    HGLOBAL(WINAPI* load)(HMODULE, HRSRC) = nullptr;
    DWORD(WINAPI* size)(HMODULE, HRSRC) = nullptr;
    LPVOID(WINAPI* lock)(HGLOBAL) = nullptr;
    BOOL(WINAPI* free)(HGLOBAL) = nullptr;
};

// Filled once, thread-safely, by whichever thread needs it first (the window
// for the logo, or a worker for the archive tool).
const Table& Api() {
    static const Table table = [] {
        Table t;
        BindSystemLibrary(L"kernel32.dll")
            .Bind("FindResourceW", t.find, "LoadResource", t.load, "SizeofResource", t.size, "LockResource",
                  t.lock, "FreeResource", t.free);
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
