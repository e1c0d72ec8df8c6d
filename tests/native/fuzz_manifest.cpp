#include "FuzzText.h"
#include "profile/ManifestVersion.h"

#include <cstdlib>

// The extracted version is always a piece of the manifest text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = WideFromBytes(data, size);
    const std::wstring version = ManifestVersion(text);
    if (!version.empty() && text.find(version) == std::wstring::npos)
        std::abort();
    return 0;
}
