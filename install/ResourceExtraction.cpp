#include "install/ResourceExtraction.h"

#include "common/UniqueHandle.h"
#include "platform/ResourceApi.h"

#include <windows.h>

void ExtractResourceToFolder(std::uint16_t name, std::uint32_t type, const std::wstring& folder,
                             const std::wstring& fileName) {
    HRSRC found = ResourceApi::FindResourceW(nullptr, MAKEINTRESOURCEW(name),
                                             MAKEINTRESOURCEW(static_cast<ULONG_PTR>(type)));
    if (!found)
        return;
    const unique_resource loaded(ResourceApi::LoadResource(nullptr, found));
    const DWORD size = ResourceApi::SizeofResource(nullptr, found);
    const void* bytes = loaded ? ResourceApi::LockResource(loaded.get()) : nullptr;
    if (bytes) {
        const std::wstring path = folder + fileName;
        unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            DWORD written = 0;
            ::WriteFile(file.get(), bytes, size, &written, nullptr);
        }
    }
}
