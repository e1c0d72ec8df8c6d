#include "install/MakerFolder.h"

#include <gtest/gtest.h>

namespace {
const std::wstring kProductFolder = L"SSD Helmview\\";
}

TEST(MakerFolderOf, IsThePathUpToTheProductFolder) {
    EXPECT_EQ(MakerFolderOf(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\", kProductFolder),
              L"C:\\Program Files (x86)\\Norvale\\");
    EXPECT_EQ(MakerFolderOf(L"D:\\Apps\\Tessaro\\SSD Helmview\\bin\\", kProductFolder),
              L"D:\\Apps\\Tessaro\\");
}

TEST(MakerFolderOf, TakesTheFirstPlaceTheNameBeginsAStep) {
    EXPECT_EQ(MakerFolderOf(L"C:\\X\\SSD Helmview\\Norvale\\SSD Helmview\\", kProductFolder), L"C:\\X\\");
    // "NorvaleSSD Helmview\" only ends in the name; the real step comes later.
    EXPECT_EQ(MakerFolderOf(L"C:\\NorvaleSSD Helmview\\Norvale\\SSD Helmview\\", kProductFolder),
              L"C:\\NorvaleSSD Helmview\\Norvale\\");
}

TEST(MakerFolderOf, IsEmptyWithoutTheProductFolderAsAStep) {
    EXPECT_EQ(MakerFolderOf(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview", kProductFolder), L"");
    EXPECT_EQ(MakerFolderOf(L"C:\\NorvaleSSD Helmview\\", kProductFolder), L"");
    EXPECT_EQ(MakerFolderOf(L"SSD Helmview\\", kProductFolder), L"");
    EXPECT_EQ(MakerFolderOf(L"C:\\Norvale\\ssd helmview\\", kProductFolder), L"") << "case-sensitive";
    EXPECT_EQ(MakerFolderOf(L"", kProductFolder), L"");
}
