#include "common/UniqueHandle.h"
#include "platform/OwnExecutable.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <windows.h>

#include <cstdlib>
#include <string>

using namespace helmtest;

namespace {

unique_hfile OpenForReading(const std::wstring& path) {
    return unique_hfile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

TEST(OwnExecutable, OnlyTheRunningImageItselfIsTakenForIt) {
    ScratchFolder scratch(L"own image");
    const std::wstring first = scratch.path() + L"HelmviewSetup.exe";
    const std::wstring second = scratch.path() + L"put in its place.exe";
    const std::wstring otherName = scratch.path() + L"other name.exe";
    // The same bytes: only the file's identity tells them apart.
    WriteBytes(first, "MZ an installer");
    WriteBytes(second, "MZ an installer");
    ASSERT_TRUE(::CreateHardLinkW(otherName.c_str(), first.c_str(), nullptr));
    const unique_hfile held = OpenForReading(first);
    ASSERT_TRUE(held);

    EXPECT_TRUE(IsFileAt(held.get(), first));
    EXPECT_TRUE(IsFileAt(held.get(), otherName)) << "one file under two names";
    EXPECT_FALSE(IsFileAt(held.get(), second)) << "two files with the same bytes";
    EXPECT_FALSE(IsFileAt(held.get(), scratch.path() + L"missing.exe"));
    EXPECT_FALSE(IsFileAt(held.get(), L""));

    // A program that holds another file than its image (one put under the
    // image's name before it was held) never copies it.
    const std::wstring target = scratch.path() + L"installed copy.exe";
    EXPECT_EXIT(
        {
            HoldOwnExecutable(second);
            const bool refused =
                !HeldFileIsRunningImage() && CopyOwnExecutableTo(target) == ERROR_FILE_INVALID;
            std::exit(refused && !FileExists(target) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    // Held by the name its image has, this test program is its image.
    ASSERT_TRUE(HoldOwnExecutable(RunningImagePath()));
    EXPECT_TRUE(HeldFileIsRunningImage());
    EXPECT_EQ(CopyOwnExecutableTo(target), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(ReadBytes(target) == ReadBytes(RunningImagePath()));
}
