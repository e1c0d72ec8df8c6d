#pragma once
// What the start-up tests share beyond tests/support: their fixture and a
// token without the Administrators group.
#include "common/UniqueHandle.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"

#include <windows.h>

// English texts, the running installer's profile, and every message on the
// standard error stream, where a death test's parent matches it.
class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        helmtest::UseEnglishTexts();
        Profile().InitProductProfile(L"http://127.0.0.1/");
        helmtest::MessagesToStderr();
    }
    void TearDown() override { SetUserMessageSink(nullptr); }
};

// While it lives, the calling thread runs with a copy of the process token in
// which the Administrators group is for deny only, as in a process that runs
// without elevation under User Account Control.
class WithoutAdministrators {
  public:
    WithoutAdministrators() {
        unique_handle processToken;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, processToken.put()))
            return;
        SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
        unique_sid administrators;
        if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                        0, 0, 0, 0, 0, 0, administrators.put()))
            return;
        SID_AND_ATTRIBUTES disable{administrators.get(), 0};
        unique_handle restricted;
        const BOOL made = ::CreateRestrictedToken(processToken.get(), 0, 1, &disable, 0, nullptr, 0, nullptr,
                                                  restricted.put());
        unique_handle impersonation;
        if (made && ::DuplicateToken(restricted.get(), SecurityImpersonation, impersonation.put()))
            active_ = ::SetThreadToken(nullptr, impersonation.get()) != FALSE;
    }
    ~WithoutAdministrators() {
        if (active_)
            ::RevertToSelf();
    }
    WithoutAdministrators(const WithoutAdministrators&) = delete;
    WithoutAdministrators& operator=(const WithoutAdministrators&) = delete;

    bool active() const { return active_; }

  private:
    bool active_ = false;
};
