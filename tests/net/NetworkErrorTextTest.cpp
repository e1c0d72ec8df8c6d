#include "net/NetworkErrorText.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorText, TrimsOnlyTrailingSpaceAndLineBreaks) {
    EXPECT_EQ(TrimTrailingSpace(L"  Access denied. \r\n"), L"  Access denied.");
    EXPECT_EQ(TrimTrailingSpace(L"Line one\r\nline two\r\n\r\n"), L"Line one\r\nline two");
    EXPECT_EQ(TrimTrailingSpace(L" \t\r\n"), L"");
    EXPECT_EQ(TrimTrailingSpace(L""), L"");
}

TEST(ErrorText, FileNamePartIsTheLastPathElement) {
    EXPECT_EQ(FileNamePart(L"Helmview.zip"), L"Helmview.zip");
    EXPECT_EQ(FileNamePart(L"C:\\a\\b\\Helmview.zip"), L"Helmview.zip");
    EXPECT_EQ(FileNamePart(L"dir/sub/file"), L"file");
    EXPECT_EQ(FileNamePart(L"C:\\dir\\"), L"");
    EXPECT_EQ(FileNamePart(L""), L"");
}

TEST(HttpStatus, ReadsTheLeadingNumber) {
    EXPECT_EQ(LeadingStatusNumber(L"404"), 404);
    EXPECT_EQ(LeadingStatusNumber(L"302 Found"), 302);
    EXPECT_EQ(LeadingStatusNumber(L"abc"), 0);
    EXPECT_EQ(LeadingStatusNumber(L""), 0);
    EXPECT_EQ(LeadingStatusNumber(L" 200"), 0);
    EXPECT_EQ(LeadingStatusNumber(L"200000000000000000000"), 0);
}

TEST(HttpStatus, SuccessIsTwoHundredToThreeNinetyNine) {
    EXPECT_FALSE(IsSuccessStatus(0));
    EXPECT_FALSE(IsSuccessStatus(199));
    EXPECT_TRUE(IsSuccessStatus(200));
    EXPECT_TRUE(IsSuccessStatus(302));
    EXPECT_TRUE(IsSuccessStatus(304));
    EXPECT_TRUE(IsSuccessStatus(399));
    EXPECT_FALSE(IsSuccessStatus(400));
}

// What failed and its subject; the wording is report/'s.
TEST(NetworkOutcomes, CarryTheSubjectAndTheCode) {
    EXPECT_EQ(NoConnectionOutcome(), (Outcome{Failure::NoConnection, {}, 0}));
    EXPECT_EQ(HttpStatusOutcome(L"404 Not Found", L"Helmview.zip"),
              (Outcome{Failure::ServerStatus, {L"404 Not Found", L"Helmview.zip"}, 0}));
    EXPECT_EQ(NetworkErrorOutcome(12045, L""), (Outcome{Failure::NetworkError, {L""}, 12045}));
}

} // namespace
