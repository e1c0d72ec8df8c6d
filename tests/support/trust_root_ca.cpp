// Adds a certificate (DER file) to the machine's trusted root store, so that a
// local test server's certificate chains to a trusted root. Test set-up only.
#include "common/UniqueHandle.h"

#include <windows.h>
#include <wincrypt.h>

#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: trust_root_ca CERT.der\n");
        return 2;
    }
    unique_hfile file(
        ::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        std::fwprintf(stderr, L"cannot open %ls (%lu)\n", argv[1], ::GetLastError());
        return 1;
    }
    std::vector<BYTE> der(64 * 1024);
    DWORD read = 0;
    if (!::ReadFile(file.get(), der.data(), static_cast<DWORD>(der.size()), &read, nullptr) || read == 0) {
        std::fwprintf(stderr, L"cannot read %ls (%lu)\n", argv[1], ::GetLastError());
        return 1;
    }
    if (!::CertAddEncodedCertificateToSystemStoreW(L"ROOT", der.data(), read)) {
        std::fwprintf(stderr, L"cannot add %ls to ROOT (0x%lx)\n", argv[1], ::GetLastError());
        return 1;
    }
    std::wprintf(L"trusted %ls\n", argv[1]);
    return 0;
}
