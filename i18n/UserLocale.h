#pragma once
#include <string>

// The user's default locale name (for example "fr-FR"); empty when it cannot
// be read.
std::wstring UserLocaleName();
