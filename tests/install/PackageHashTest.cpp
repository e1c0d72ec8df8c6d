#include "install/PackageHash.h"

#include "InstallTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace helmtest;

namespace {

std::string Hex(const PackageDigest& digest) {
    std::string text;
    for (const unsigned char byte : digest.sha256) {
        text.push_back("0123456789abcdef"[byte >> 4]);
        text.push_back("0123456789abcdef"[byte & 0xF]);
    }
    return text;
}

} // namespace

TEST(HashPackage, GivesTheSha256OfTheWholeFileOrWhyNot) {
    ScratchFolder scratch(L"package hash");
    WriteBytes(scratch.path() + L"abc.zip", "abc");
    WriteBytes(scratch.path() + L"empty.zip", "");
    // Longer than one read block, so the blocks must follow each other.
    WriteBytes(scratch.path() + L"large.zip", std::string(1000000, 'a'));

    const PackageDigest abc = HashPackage(scratch.path() + L"abc.zip");
    EXPECT_TRUE(abc.computed);
    EXPECT_EQ(Hex(abc), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Hex(HashPackage(scratch.path() + L"empty.zip")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex(HashPackage(scratch.path() + L"large.zip")),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    const PackageDigest missing = HashPackage(scratch.path() + L"missing.zip");
    EXPECT_FALSE(missing.computed);
    EXPECT_EQ(missing.error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}
