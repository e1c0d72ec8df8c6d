// Whether an answer to a range request may be appended to the part of the
// body already on disk.
#include "net/ByteRange.h"

#include <gtest/gtest.h>

#include <optional>

TEST(ContinuesAt, OnlyA206CarryingExactlyTheRestOfTheSameBody) {
    const std::optional<std::uint64_t> unknown;
    EXPECT_TRUE(ContinuesAt(206, L"bytes 300-999/1000", 300, 1000));
    EXPECT_TRUE(ContinuesAt(206, L"bytes 300-999/1000", 300, unknown));
    EXPECT_TRUE(ContinuesAt(206, L"  BYTES  300-999/1000 ", 300, 1000));
    // A whole body, however it is labelled, starts the file again.
    EXPECT_FALSE(ContinuesAt(200, L"bytes 300-999/1000", 300, 1000));
    EXPECT_FALSE(ContinuesAt(206, L"", 300, 1000));
    EXPECT_FALSE(ContinuesAt(206, L"bytes 299-999/1000", 300, 1000)) << "overlaps";
    EXPECT_FALSE(ContinuesAt(206, L"bytes 301-999/1000", 300, 1000)) << "leaves a gap";
    EXPECT_FALSE(ContinuesAt(206, L"bytes 300-998/1000", 300, 1000)) << "stops short of the end";
    EXPECT_FALSE(ContinuesAt(206, L"bytes 300-1199/1200", 300, 1000)) << "another body";
    EXPECT_FALSE(ContinuesAt(206, L"bytes 300-999/*", 300, 1000)) << "end unknown";
    for (const wchar_t* malformed :
         {L"bytes 300-999", L"bytes 300-999/999", L"bytes 300-999/1000x", L"bytes300-999/1000",
          L"bytes -999/1000", L"bytes 300-99999999999999999999/1"})
        EXPECT_FALSE(ContinuesAt(206, malformed, 300, unknown)) << malformed;
}

TEST(ParseByteCount, ReadsTheDigitsAfterSpaces) {
    EXPECT_EQ(ParseByteCount(L" 5000000000"), 5000000000u);
    EXPECT_EQ(ParseByteCount(L"12;x"), 12u);
    EXPECT_EQ(ParseByteCount(L""), std::nullopt);
    EXPECT_EQ(ParseByteCount(L"x1"), std::nullopt);
    EXPECT_EQ(ParseByteCount(L"18446744073709551616"), std::nullopt) << "overflows";
}
