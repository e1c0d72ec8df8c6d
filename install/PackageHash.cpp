#include "install/PackageHash.h"

#include "common/UniqueHandle.h"
#include "platform/SystemLibrary.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

namespace {

struct CngApi {
    decltype(&::BCryptOpenAlgorithmProvider) OpenAlgorithmProvider = nullptr;
    decltype(&::BCryptCloseAlgorithmProvider) CloseAlgorithmProvider = nullptr;
    decltype(&::BCryptGetProperty) GetProperty = nullptr;
    decltype(&::BCryptCreateHash) CreateHash = nullptr;
    decltype(&::BCryptHashData) HashData = nullptr;
    decltype(&::BCryptFinishHash) FinishHash = nullptr;
    decltype(&::BCryptDestroyHash) DestroyHash = nullptr;
    bool bound = false;
};

const CngApi& Cng() {
    static const CngApi api = [] {
        CngApi cng;
        const SystemLibrary library = BindSystemLibrary(L"bcrypt.dll");
        cng.bound =
            library.Bind("BCryptOpenAlgorithmProvider", cng.OpenAlgorithmProvider,
                         "BCryptCloseAlgorithmProvider", cng.CloseAlgorithmProvider, "BCryptGetProperty",
                         cng.GetProperty, "BCryptCreateHash", cng.CreateHash, "BCryptHashData", cng.HashData,
                         "BCryptFinishHash", cng.FinishHash, "BCryptDestroyHash", cng.DestroyHash);
        return cng;
    }();
    return api;
}

struct Algorithm {
    static BCRYPT_ALG_HANDLE Invalid() { return nullptr; }
    static void Close(BCRYPT_ALG_HANDLE handle) { Cng().CloseAlgorithmProvider(handle, 0); }
};
struct Hash {
    static BCRYPT_HASH_HANDLE Invalid() { return nullptr; }
    static void Close(BCRYPT_HASH_HANDLE handle) { Cng().DestroyHash(handle); }
};

PackageDigest Failed(std::uint32_t error) {
    PackageDigest digest;
    digest.error = error;
    return digest;
}

} // namespace

PackageDigest HashPackage(const std::wstring& path) {
    const CngApi& cng = Cng();
    if (!cng.bound)
        return Failed(ERROR_PROC_NOT_FOUND);
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return Failed(::GetLastError());

    UniqueHandle<BCRYPT_ALG_HANDLE, Algorithm> algorithm;
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
    UniqueHandle<BCRYPT_HASH_HANDLE, Hash> hash;
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
