#pragma once
#include <string>

// Older releases stored the Chinese languages under the legacy culture names
// "zh-CHT" and "zh-CHS"; the catalogue knows them as "zh-TW" and "zh-CN". Only
// those two exact texts change; everything else, the empty text included, is
// returned as it is.
std::wstring MapLegacyChineseCulture(const std::wstring& code);
