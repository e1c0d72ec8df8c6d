#pragma once
// The set-up the install sequence tests share, on Windows 10 and on earlier
// Windows: a machine without any installation, the real profile pointed at the
// package server, English texts, captured messages and a fresh stand-in log.
#include "EngineTestSupport.h"
#include "InstallTestSupport.h"
#include "MessageCapture.h"
#include "install/InstallSession.h"
#include "profile/ProductProfile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace helmtest {

class InstallSequence : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The stand-in log line of one prerequisite run from the install folder.
    std::wstring PrerequisiteLine(const std::wstring& exe, const std::wstring& arguments) const;

    // The running installer's, pointed at the package server.
    ProductProfile profile_;
    std::wstring installDir_;
    // The run the test's installer reports to and is cancelled through.
    InstallSession session_;
    // The messages shown, in English.
    MessageCapture capture_;
    std::unique_ptr<FixtureLog> log_;
};

} // namespace helmtest
