#pragma once
#include <string>

// The maker folder above an install folder: installPath up to the first place
// where productFolderName ("SSD Helmview\") begins a step of the path
// (case-sensitively), with its trailing backslash. Empty when the name is not
// found at the start of a step (a path recorded without its trailing
// backslash, or one where the name is only the tail of a longer folder name).
std::wstring MakerFolderOf(const std::wstring& installPath, const std::wstring& productFolderName);
