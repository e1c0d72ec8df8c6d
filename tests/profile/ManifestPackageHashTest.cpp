#include "profile/ManifestPackageHash.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(ManifestPackageHash, TakesTheFirstElementTrimmedOrNothingWithoutOne) {
    const std::optional<std::wstring> none;
    EXPECT_EQ(ManifestPackageHash(L"<updater><version>3.8.2.5</version></updater>"), none);
    EXPECT_EQ(
        ManifestPackageHash(L"<version>1</version>\n  <sha256>\n\tAbC0 \r\n</sha256><sha256>ff</sha256>"),
        std::optional<std::wstring>(L"AbC0"));
    EXPECT_EQ(ManifestPackageHash(L"</sha256><sha256>12</sha256>"), std::optional<std::wstring>(L"12"));
    // Meant to state a hash but unreadable: a value that matches nothing.
    EXPECT_EQ(ManifestPackageHash(L"<sha256>0123"), std::optional<std::wstring>(L""));
    EXPECT_EQ(ManifestPackageHash(L"<sha256></sha256>"), std::optional<std::wstring>(L""));
}

TEST(MatchesSha256, SixtyFourHexDigitsOfTheDigestInEitherCase) {
    unsigned char digest[32];
    for (unsigned i = 0; i < 32; ++i)
        digest[i] = static_cast<unsigned char>(i * 8 + 7); // 07 0f 17 ... ff
    const std::wstring lower = L"070f171f272f373f474f575f676f777f878f979fa7afb7bfc7cfd7dfe7eff7ff";
    std::wstring upper = lower;
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'f')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    EXPECT_TRUE(MatchesSha256(lower, digest));
    EXPECT_TRUE(MatchesSha256(upper, digest));
    EXPECT_TRUE(MatchesSha256(upper.substr(0, 32) + lower.substr(32), digest));

    EXPECT_FALSE(MatchesSha256(L"", digest));
    EXPECT_FALSE(MatchesSha256(lower.substr(0, 62), digest));
    EXPECT_FALSE(MatchesSha256(lower + L"0", digest));
    std::wstring changed = lower;
    changed[63] = L'e';
    EXPECT_FALSE(MatchesSha256(changed, digest));
    changed = lower;
    changed[0] = L'g';
    EXPECT_FALSE(MatchesSha256(changed, digest));
    changed = lower;
    changed[10] = L' ';
    EXPECT_FALSE(MatchesSha256(changed, digest));
}
