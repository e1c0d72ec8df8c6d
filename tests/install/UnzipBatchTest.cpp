#include "install/UnzipBatch.h"

#include <gtest/gtest.h>

TEST(UnzipBatchText, NamesTheToolByItsQuotedFullPathAndEndsWithItsExitCode) {
    // Four lines joined by CR LF, no line end after the last; the archive is
    // deleted whatever the tool did. A bare "7za" would be looked up along
    // the user's PATH and PATHEXT.
    EXPECT_EQ(
        UnzipBatchText(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\7za.exe", L"NorvaleHelmview.zip"),
        L"\"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\7za.exe\" x -y NorvaleHelmview.zip\r\n"
        L"set unpacked=%errorlevel%\r\n"
        L"del /f NorvaleHelmview.zip\r\n"
        L"exit /b %unpacked%");
    EXPECT_EQ(UnzipBatchText(L"D:\\Pr\u00f6gram\\7za.exe", L"Helmview.zip").substr(0, 40),
              L"\"D:\\Pr\u00f6gram\\7za.exe\" x -y Helmview.zip\r\n");
}

TEST(UnzipBatchText, DoublesPercentSignsSoThePathIsNotExpanded) {
    EXPECT_EQ(UnzipBatchText(L"C:\\100%\\%TEMP%\\7za.exe", L"Helmview.zip").substr(0, 47),
              L"\"C:\\100%%\\%%TEMP%%\\7za.exe\" x -y Helmview.zip\r\n");
}
