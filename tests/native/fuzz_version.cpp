#include "FuzzText.h"
#include "profile/ProductVersion.h"

#include <cstdlib>

// Compare never faults, answers only -1, 0 or +1, and 0 only for identical texts.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring all = WideFromBytes(data, size);
    const std::size_t cut = all.find(L'|');
    const ProductVersion a(all.substr(0, cut));
    const ProductVersion b(cut == std::wstring::npos ? std::wstring() : all.substr(cut + 1));
    for (const int r : {a.Compare(b), b.Compare(a)})
        if (r < -1 || r > 1)
            std::abort();
    if ((a.Compare(b) == 0) != (a.Get() == b.Get()) || a.Compare(a) != 0)
        std::abort();
    return 0;
}
