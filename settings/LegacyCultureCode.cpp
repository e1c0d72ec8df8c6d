#include "settings/LegacyCultureCode.h"

std::wstring MapLegacyChineseCulture(const std::wstring& code) {
    if (code == L"zh-CHT")
        return L"zh-TW";
    if (code == L"zh-CHS")
        return L"zh-CN";
    return code;
}
