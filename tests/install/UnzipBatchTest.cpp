#include "install/UnzipBatch.h"

#include <gtest/gtest.h>

TEST(UnzipBatchText, DeletesTheArchiveAndEndsWithTheToolsExitCode) {
    const std::string expected = "7za x -y NorvaleHelmview.zip\r\n"
                                 "set unpacked=%errorlevel%\r\n"
                                 "del /f NorvaleHelmview.zip\r\n"
                                 "exit /b %unpacked%";
    EXPECT_EQ(UnzipBatchText(L"NorvaleHelmview.zip"), expected);
}

TEST(UnzipBatchText, NamesTheArchiveUnquoted) {
    const std::string text = UnzipBatchText(L"Helmview.zip");
    EXPECT_EQ(text.find('"'), std::string::npos);
    EXPECT_EQ(text.substr(0, 21), "7za x -y Helmview.zip");
    EXPECT_NE(text.find("\r\ndel /f Helmview.zip\r\n"), std::string::npos);
}

TEST(UnzipBatchText, HoldsOneByteForEveryCodeUnitNarrowedToItsLowBits) {
    // No code-page conversion: U+00E9 becomes the byte 0xE9, U+0141 the byte 0x41.
    const std::string name = std::string("a\xe9"
                                         "A.zip");
    EXPECT_EQ(UnzipBatchText(L"a\u00e9\u0141.zip"), "7za x -y " + name +
                                                        "\r\nset unpacked=%errorlevel%\r\ndel /f " + name +
                                                        "\r\nexit /b %unpacked%");
}
