// A gdiplus.dll planted beside a program must not be loaded by the window's
// code, while a program that imports GDI+ the ordinary way does pick it up
// (which shows the plant is effective on this system).
#include <gtest/gtest.h>

#include "PlantedDllTest.h"

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

std::wstring FreshFolder() {
    const fs::path folder = fs::path(HELM_BINARY_DIR) / L"testwork" / L"window" / L"gdiplus-plant";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return folder.wstring() + L"\\";
}

TEST(GdiPlusLoading, APlantedCopyBesideTheProgramIsNeverLoaded) {
    ExpectPlantedCopyNeverLoaded(L"gdiplus", FreshFolder(), L"window_probe.exe", L"window_import_probe.exe");
}

} // namespace
