#include "platform/ResourceApi.h"

#include "common/UniqueHandle.h"
#include "platform/SystemLibrary.h"

namespace {

// Bound once, thread-safely, by whichever thread needs it first (the window
// for the logo, or a worker for the archive tool).
struct Table {
    static constexpr const wchar_t* kLibrary = L"kernel32.dll";

    HRSRC(WINAPI* find)(HMODULE, LPCWSTR, LPCWSTR) = nullptr;
    HGLOBAL(WINAPI* load)(HMODULE, HRSRC) = nullptr;
    DWORD(WINAPI* size)(HMODULE, HRSRC) = nullptr;
    LPVOID(WINAPI* lock)(HGLOBAL) = nullptr;
    BOOL(WINAPI* free)(HGLOBAL) = nullptr;

    bool BindFrom(const SystemLibrary& library) {
        return library.Bind("FindResourceW", find, "LoadResource", load, "SizeofResource", size,
                            "LockResource", lock, "FreeResource", free);
    }
};

const Table* Api() {
    return SystemFunctions<Table>();
}

} // namespace

HRSRC ResourceApi::FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    const auto fn = Api() ? Api()->find : nullptr;
    return fn ? fn(module, name, type) : nullptr;
}

HGLOBAL ResourceApi::LoadResource(HMODULE module, HRSRC resource) {
    const auto fn = Api() ? Api()->load : nullptr;
    return fn ? fn(module, resource) : nullptr;
}

DWORD ResourceApi::SizeofResource(HMODULE module, HRSRC resource) {
    const auto fn = Api() ? Api()->size : nullptr;
    return fn ? fn(module, resource) : 0;
}

LPVOID ResourceApi::LockResource(HGLOBAL loaded) {
    const auto fn = Api() ? Api()->lock : nullptr;
    return fn ? fn(loaded) : nullptr;
}

void handle_traits::LoadedResource::Close(HGLOBAL loaded) {
    if (const auto fn = Api() ? Api()->free : nullptr)
        fn(loaded);
}
