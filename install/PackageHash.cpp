#include "install/PackageHash.h"

#include "common/UniqueHandle.h"
#include "platform/SystemLibrary.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

namespace {

struct CngApi {
    static constexpr const wchar_t* kLibrary = L"bcrypt.dll";

    decltype(&::BCryptOpenAlgorithmProvider) OpenAlgorithmProvider = nullptr;
    decltype(&::BCryptCloseAlgorithmProvider) CloseAlgorithmProvider = nullptr;
    decltype(&::BCryptGetProperty) GetProperty = nullptr;
    decltype(&::BCryptCreateHash) CreateHash = nullptr;
    decltype(&::BCryptHashData) HashData = nullptr;
    decltype(&::BCryptFinishHash) FinishHash = nullptr;
    decltype(&::BCryptDestroyHash) DestroyHash = nullptr;

    bool BindFrom(const SystemLibrary& library) {
        return library.Bind("BCryptOpenAlgorithmProvider", OpenAlgorithmProvider,
                            "BCryptCloseAlgorithmProvider", CloseAlgorithmProvider, "BCryptGetProperty",
                            GetProperty, "BCryptCreateHash", CreateHash, "BCryptHashData", HashData,
                            "BCryptFinishHash", FinishHash, "BCryptDestroyHash", DestroyHash);
    }
};

const CngApi* Cng() {
    return SystemFunctions<CngApi>();
}

PackageDigest Failed(std::uint32_t error) {
    PackageDigest digest;
    digest.error = error;
    return digest;
}

} // namespace

// Handles exist only once the table was bound.
void handle_traits::CngAlgorithm::Close(void* handle) {
    Cng()->CloseAlgorithmProvider(handle, 0);
}
void handle_traits::CngHash::Close(void* handle) {
    Cng()->DestroyHash(handle);
}

PackageDigest HashPackage(const std::wstring& path) {
    const CngApi* bound = Cng();
    if (!bound)
        return Failed(ERROR_PROC_NOT_FOUND);
    const CngApi& cng = *bound;
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return Failed(::GetLastError());

    unique_bcrypt_algorithm algorithm;
    NTSTATUS status = cng.OpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    if (!BCRYPT_SUCCESS(status))
        return Failed(static_cast<std::uint32_t>(status));
    // Windows Vista wants the hash object's memory from the caller.
    DWORD objectSize = 0;
    ULONG got = 0;
    status = cng.GetProperty(algorithm.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectSize),
                             sizeof objectSize, &got, 0);
    if (!BCRYPT_SUCCESS(status))
        return Failed(static_cast<std::uint32_t>(status));
    std::vector<UCHAR> object(objectSize);
    unique_bcrypt_hash hash;
    status = cng.CreateHash(algorithm.get(), hash.put(), object.data(), objectSize, nullptr, 0, 0);
    if (!BCRYPT_SUCCESS(status))
        return Failed(static_cast<std::uint32_t>(status));

    std::vector<UCHAR> block(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr))
            return Failed(::GetLastError());
        if (read == 0)
            break;
        status = cng.HashData(hash.get(), block.data(), read, 0);
        if (!BCRYPT_SUCCESS(status))
            return Failed(static_cast<std::uint32_t>(status));
    }
    PackageDigest digest;
    status = cng.FinishHash(hash.get(), digest.sha256, sizeof digest.sha256, 0);
    if (!BCRYPT_SUCCESS(status))
        return Failed(static_cast<std::uint32_t>(status));
    digest.computed = true;
    return digest;
}
