#include "FuzzText.h"
#include "profile/ManifestPackageHash.h"
#include "profile/ManifestVersion.h"

#include <cstdlib>
#include <optional>

namespace {

std::wstring Hex(const unsigned char (&digest)[32], const wchar_t* digits) {
    std::wstring text;
    for (const unsigned char byte : digest) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0xF]);
    }
    return text;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

} // namespace

// The extracted version and package hash are always pieces of the manifest
// text, and a hash is only ever read where the manifest has the element. A
// hash matches the digest it spells in either letter case, and nothing else:
// neither the digest with one bit changed nor any text that is not 64 digits.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = WideFromBytes(data, size);
    const std::wstring version = ManifestVersion(text);
    if (!version.empty() && text.find(version) == std::wstring::npos)
        std::abort();

    const std::optional<std::wstring> hash = ManifestPackageHash(text);
    const bool tagged = text.find(L"<sha256>") != std::wstring::npos;
    if (hash.has_value() != tagged || (hash && text.find(*hash) == std::wstring::npos))
        std::abort();

    unsigned char digest[32] = {};
    for (std::size_t i = 0; i < size; ++i)
        digest[i % 32] = static_cast<unsigned char>(digest[i % 32] * 31 + data[i]);
    if (hash && MatchesSha256(*hash, digest) &&
        (hash->size() != 64 || Hex(digest, L"0123456789abcdef") != Lower(*hash)))
        std::abort();
    if (!MatchesSha256(Hex(digest, L"0123456789abcdef"), digest) ||
        !MatchesSha256(Hex(digest, L"0123456789ABCDEF"), digest))
        std::abort();
    unsigned char changed[32];
    for (std::size_t i = 0; i < 32; ++i)
        changed[i] = digest[i];
    changed[size % 32] ^= static_cast<unsigned char>(1u << (size % 8));
    if (MatchesSha256(Hex(digest, L"0123456789abcdef"), changed))
        std::abort();
    return 0;
}
