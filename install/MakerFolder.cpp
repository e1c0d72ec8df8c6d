#include "install/MakerFolder.h"

std::wstring MakerFolderOf(const std::wstring& installPath, const std::wstring& productFolderName) {
    if (productFolderName.empty())
        return {};
    for (std::size_t at = installPath.find(productFolderName); at != std::wstring::npos;
         at = installPath.find(productFolderName, at + 1)) {
        if (at > 0 && installPath[at - 1] == L'\\')
            return installPath.substr(0, at);
    }
    return {};
}
