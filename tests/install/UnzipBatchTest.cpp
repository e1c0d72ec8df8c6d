#include "install/UnzipBatch.h"

#include <gtest/gtest.h>

TEST(UnzipBatchText, NamesTheToolByItsQuotedFullPathAndTheArchiveUnquoted) {
    // Two lines joined by CR LF, no line end after the second. A bare "7za"
    // would be looked up along the user's PATH and PATHEXT.
    EXPECT_EQ(
        UnzipBatchText(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\7za.exe", L"NorvaleHelmview.zip"),
        L"\"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\7za.exe\" x -y NorvaleHelmview.zip\r\n"
        L"del /f NorvaleHelmview.zip");
    EXPECT_EQ(UnzipBatchText(L"D:\\Pr\u00f6gram\\7za.exe", L"Helmview.zip"),
              L"\"D:\\Pr\u00f6gram\\7za.exe\" x -y Helmview.zip\r\ndel /f Helmview.zip");
}

TEST(UnzipBatchText, DoublesPercentSignsSoThePathIsNotExpanded) {
    EXPECT_EQ(UnzipBatchText(L"C:\\100%\\%TEMP%\\7za.exe", L"Helmview.zip"),
              L"\"C:\\100%%\\%%TEMP%%\\7za.exe\" x -y Helmview.zip\r\ndel /f Helmview.zip");
}
