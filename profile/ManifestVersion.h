#pragma once
#include <string>

// The offered version as the manifest states it: the characters between the
// first "<version>" and the first "</version>" after it, unchanged (spaces
// included). The text is searched as plain text, not parsed as XML. Empty
// when there is no "<version>" or no "</version>" after it.
std::wstring ManifestVersion(const std::wstring& manifestText);
