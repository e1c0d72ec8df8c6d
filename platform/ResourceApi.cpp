#include "platform/ResourceApi.h"

#include "common/UniqueHandle.h"
#include "platform/SystemLibrary.h"

namespace {

// Bound once, thread-safely, by whichever thread needs it first (the window
// for the logo, or a worker for the archive tool); all or nothing, so a
// table that is there has every function.
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
    const Table* api = Api();
    return api ? api->find(module, name, type) : nullptr;
}

HGLOBAL ResourceApi::LoadResource(HMODULE module, HRSRC resource) {
    const Table* api = Api();
    return api ? api->load(module, resource) : nullptr;
}

DWORD ResourceApi::SizeofResource(HMODULE module, HRSRC resource) {
    const Table* api = Api();
    return api ? api->size(module, resource) : 0;
}

LPVOID ResourceApi::LockResource(HGLOBAL loaded) {
    const Table* api = Api();
    return api ? api->lock(loaded) : nullptr;
}

void handle_traits::LoadedResource::Close(HGLOBAL loaded) {
    if (const Table* api = Api())
        api->free(loaded);
}
