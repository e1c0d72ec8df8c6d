#include "ui/WebAddress.h"

#include <gtest/gtest.h>

TEST(IsWebAddress, OnlyHttpAndHttpsAddressesInAnyLetterCase) {
    for (const wchar_t* address : {L"http://127.0.0.1:8080/zqHelmview/NorvaleHelmviewReleaseNotes.pdf",
                                   L"https://download.example/zqHelmview/", L"HTTPS://X/", L"Http://x"})
        EXPECT_TRUE(IsWebAddress(address)) << ::testing::PrintToString(std::wstring(address));
    for (const wchar_t* address :
         {L"", L"http", L"https:/x/", L"C:\\Windows\\System32\\zqHelmview/NorvaleHelmviewReleaseNotes.pdf",
          L"\\\\server\\share\\zqHelmview/", L"file:///C:/Windows/", L" http://x/", L"ftp://x/",
          L"httpx://x/", L"shell:System", L"mailto:a@b"})
        EXPECT_FALSE(IsWebAddress(address)) << ::testing::PrintToString(std::wstring(address));
}
