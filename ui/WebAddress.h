#pragma once
#include <string>

// Whether address is a web address: it begins with "http://" or "https://",
// in any letter case. The installer runs elevated, so what it hands the shell
// to open must be one a browser shows; a file or folder would be opened, or
// run, with administrator rights. Free of <windows.h>.
bool IsWebAddress(const std::wstring& address);
