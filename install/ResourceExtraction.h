#pragma once
#include <cstdint>
#include <string>

// Writes resource (type, name) of the running executable, byte for byte, to the
// install folder (the profile's installDir) under fileName, replacing an
// existing file. A missing resource writes nothing; a file that cannot be
// written keeps its old content. Nothing is reported.
void ExtractResourceToFile(std::uint16_t name, std::uint32_t type, const std::wstring& fileName);

// The same into folder (ending in a backslash) instead of the install folder.
void ExtractResourceToFolder(std::uint16_t name, std::uint32_t type, const std::wstring& folder,
                             const std::wstring& fileName);
