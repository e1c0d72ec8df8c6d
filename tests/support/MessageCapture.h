#pragma once
// Where the tests let the messages go that the code under test shows: into a
// list while a MessageCapture lives, or to the standard error stream for
// death tests, whose parent matches them there. Both make the English texts
// current.
#include "i18n/TranslationCatalog.h"
#include "report/OutcomeReport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace helmtest {

// Loads the carried translations (once) and makes English current.
void UseEnglishTexts();

// One message as a line of the standard error stream:
// "MESSAGE [<caption>] <text>".
void PrintMessageToStderr(const std::wstring& text, const std::wstring& caption);

// From now on every message goes there; returns the sink installed before.
UserMessageSink MessagesToStderr();

} // namespace helmtest

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    bool operator==(const ShownMessage& other) const {
        return text == other.text && caption == other.caption;
    }
};

inline std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
    return out << ::testing::PrintToString(m.text) << " / " << ::testing::PrintToString(m.caption);
}

// Collects the messages shown while it is alive.
class MessageCapture {
  public:
    MessageCapture() {
        helmtest::UseEnglishTexts();
        previous_ = SetUserMessageSink([this](const std::wstring& text, const std::wstring& caption) {
            std::lock_guard<std::mutex> lock(mutex_);
            messages_.push_back({text, caption});
        });
    }
    ~MessageCapture() { SetUserMessageSink(std::move(previous_)); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    std::vector<ShownMessage> Messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<ShownMessage> messages_;
    UserMessageSink previous_;
};
