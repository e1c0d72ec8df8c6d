#pragma once
#include <cstdint>
#include <string>

// The SHA-256 of a downloaded package, computed with CNG. bcrypt.dll is bound
// at run time from the System folder, never imported: an import would be
// looked up beside the executable first, in a folder anybody may write to.
struct PackageDigest {
    bool computed = false;
    unsigned char sha256[32] = {};
    // Why it was not computed: a system error number, or the status CNG
    // returned; 0 when it was.
    std::uint32_t error = 0;
};

// Reads the whole file at path, from its first byte to its last, and hashes
// it. Other processes may read the file meanwhile but not change it.
PackageDigest HashPackage(const std::wstring& path);
