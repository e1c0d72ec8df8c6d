#pragma once
#include <optional>
#include <string>

// The package's SHA-256 as the manifest may state it beside the version, in
// "<sha256>" ... "</sha256>": the characters between the first opening tag
// and the first closing tag after it, blanks, tabs and line ends around them
// taken off. Searched as plain text, like the version. Nothing when there is
// no "<sha256>": the package then goes unverified, as it always has. An
// opening tag without its closing one gives an empty value, which matches no
// package: a manifest that means to state a hash is never read as stating
// none.
std::optional<std::wstring> ManifestPackageHash(const std::wstring& manifestText);

// Whether stated (from ManifestPackageHash) is exactly 64 hexadecimal digits,
// in either letter case or a mix, spelling digest, which holds the 32 bytes of
// a SHA-256 value.
bool MatchesSha256(const std::wstring& stated, const unsigned char (&digest)[32]);

// digest, the 32 bytes of a SHA-256 value, as 64 lower-case hexadecimal
// digits, the way sha256sum prints it and a manifest may state it.
std::wstring Sha256Hex(const unsigned char (&digest)[32]);
