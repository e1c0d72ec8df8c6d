#include "install/UnzipBatch.h"

#include <gtest/gtest.h>

TEST(UnzipBatchText, IsTwoLinesJoinedByCrLfWithoutFinalLineEnd) {
    const std::string expected =
        std::string("7za x -y NorvaleHelmview.zip") + '\r' + '\n' + "del /f NorvaleHelmview.zip";
    EXPECT_EQ(UnzipBatchText(L"NorvaleHelmview.zip"), expected);
}

TEST(UnzipBatchText, NamesTheArchiveUnquoted) {
    const std::string text = UnzipBatchText(L"Helmview.zip");
    EXPECT_EQ(text.find('"'), std::string::npos);
    EXPECT_EQ(text.substr(0, 21), "7za x -y Helmview.zip");
    EXPECT_EQ(text.substr(text.size() - 19), "del /f Helmview.zip");
}

TEST(UnzipBatchText, HoldsOneByteForEveryCodeUnitNarrowedToItsLowBits) {
    // No code-page conversion: U+00E9 becomes the byte 0xE9, U+0141 the byte 0x41.
    const std::string text = UnzipBatchText(L"a\u00e9\u0141.zip");
    EXPECT_EQ(text.size(), (9 + 7) + 2 + (7 + 7));
    EXPECT_EQ(text.substr(9, 7), std::string("a\xe9"
                                             "A.zip"));
    EXPECT_EQ(text.substr(25), std::string("a\xe9"
                                           "A.zip"));
}
