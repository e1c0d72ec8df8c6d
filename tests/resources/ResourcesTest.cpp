// Checks what the built installer carries, reading its resources the way
// Windows does.
#include "resource_ids.h"

#include "common/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::wstring kSetupExe = std::wstring(HELM_BINARY_DIR) + L"\\HelmviewSetup.exe";

class InstallerResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module_.reset(::LoadLibraryExW(kSetupExe.c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot load " << ::testing::PrintToString(kSetupExe);
    }

    // The bytes of a resource, or nothing when it is missing.
    std::string Bytes(LPCWSTR type, LPCWSTR name, WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)) {
        HRSRC found = ::FindResourceExW(module_.get(), type, name, language);
        if (!found)
            return {};
        HGLOBAL loaded = ::LoadResource(module_.get(), found);
        const char* data = static_cast<const char*>(::LockResource(loaded));
        return data ? std::string(data, ::SizeofResource(module_.get(), found)) : std::string();
    }

    unique_hmodule module_;
};

std::uint32_t BigEndian32(const std::string& s, std::size_t at) {
    return (std::uint32_t(std::uint8_t(s[at])) << 24) | (std::uint32_t(std::uint8_t(s[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(s[at + 2])) << 8) | std::uint32_t(std::uint8_t(s[at + 3]));
}

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);

TEST_F(InstallerResources, ManifestDeclaresWindowsVersionsAndAsInvoker) {
    const std::string manifest = Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    const char* const ids[] = {
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"};
    std::size_t previous = 0;
    for (const char* id : ids) {
        const std::size_t at = manifest.find(id);
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_GT(at, previous) << id << " is out of order";
        previous = at;
    }
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    // Per-monitor aware where Windows knows it (V2 from Windows 10 1703, V1
    // before), and "true/pm" for Windows 7 and 8.1, which read only dpiAware.
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

TEST_F(InstallerResources, IconGroupHoldsAllSizesWithAPng256Frame) {
#pragma pack(push, 2)
    struct GroupHeader {
        WORD reserved, type, count;
    };
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const std::string group = Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_INSTALLER));
    ASSERT_GE(group.size(), sizeof(GroupHeader));
    GroupHeader header;
    std::memcpy(&header, group.data(), sizeof header);
    ASSERT_EQ(group.size(), sizeof(GroupHeader) + header.count * sizeof(GroupEntry));
    std::vector<int> sizes;
    for (WORD i = 0; i < header.count; ++i) {
        GroupEntry e;
        std::memcpy(&e, group.data() + sizeof(GroupHeader) + i * sizeof(GroupEntry), sizeof e);
        const int size = e.width == 0 ? 256 : e.width;
        sizes.push_back(size);
        const std::string frame = Bytes(RT_ICON, MAKEINTRESOURCEW(e.id));
        ASSERT_EQ(frame.size(), e.bytes) << "frame " << size;
        EXPECT_EQ(frame.compare(0, 8, kPngSignature) == 0, size == 256)
            << "only the 256-pixel frame is stored as PNG (frame " << size << ")";
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 64, 128, 256}));
}

TEST_F(InstallerResources, WindowClassNameIsString109) {
    wchar_t buffer[100] = {};
    ASSERT_GT(::LoadStringW(module_.get(), IDS_WINDOW_CLASS, buffer, 100), 0);
    EXPECT_STREQ(buffer, L"TESTSETUP");
}

TEST_F(InstallerResources, LogoIsA195By29PngWithAlpha) {
    const std::string png = Bytes(MAKEINTRESOURCEW(RT_LOGO), MAKEINTRESOURCEW(ID_LOGO));
    ASSERT_GE(png.size(), 33u);
    ASSERT_EQ(png.compare(0, 8, kPngSignature), 0);
    ASSERT_EQ(png.compare(12, 4, "IHDR"), 0);
    EXPECT_EQ(BigEndian32(png, 16), 195u);
    EXPECT_EQ(BigEndian32(png, 20), 29u);
    EXPECT_EQ(std::uint8_t(png[25]), 6) << "colour type 6 is RGBA";
}

TEST_F(InstallerResources, CarriesSeventeenTranslations) {
    for (int id = ID_FIRST_TRANSLATION; id <= ID_LAST_TRANSLATION; ++id) {
        const std::string text = Bytes(MAKEINTRESOURCEW(RT_TRANSLATION), MAKEINTRESOURCEW(id));
        EXPECT_NE(text.find("translations:"), std::string::npos) << "translation " << id;
    }
    EXPECT_TRUE(Bytes(MAKEINTRESOURCEW(RT_TRANSLATION), MAKEINTRESOURCEW(ID_LAST_TRANSLATION + 1)).empty());
}

TEST_F(InstallerResources, VersionInformationNamesProductAndMaker) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(kSetupExe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(kSetupExe.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(0, 5)));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(1, 2)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        return ::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) &&
                       value
                   ? std::wstring(value)
                   : std::wstring();
    };
    EXPECT_EQ(text(L"ProductName"), L"Helmview Installer");
    EXPECT_EQ(text(L"CompanyName"), L"Norvale Corporation");
    EXPECT_EQ(text(L"FileVersion"), L"5.0.2.1");
    EXPECT_EQ(text(L"ProductVersion"), L"5.0.2.1");
}

} // namespace
