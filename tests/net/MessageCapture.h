#pragma once
// Collects the messages the code under test shows, instead of message boxes,
// while it is alive; the English texts are current meanwhile.
#include "i18n/TranslationCatalog.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

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

class MessageCapture {
  public:
    MessageCapture() {
        static const bool loaded = [] {
            Catalog().LoadAll();
            return true;
        }();
        (void)loaded;
        Catalog().SetLanguage(L"en-US");
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
