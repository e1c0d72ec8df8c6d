#pragma once
// Files and folders for the download tests, below the build tree; reading
// and writing them is TestFiles.h's.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

// A new, empty folder for the running test, ending in '\'.
inline std::wstring FreshWorkFolder(const std::wstring& area) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    const std::filesystem::path folder =
        std::filesystem::path(HELM_BINARY_DIR) / L"testwork" / area / std::filesystem::path(name);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder.wstring() + L"\\";
}

// The test server's generated body: byte i is i % 251.
inline std::string GeneratedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}
