#include "MessageCapture.h"

#include "TestFiles.h"

#include <cstdio>

namespace helmtest {

void UseEnglishTexts() {
    static const bool loaded = [] {
        Catalog().LoadAll();
        return true;
    }();
    (void)loaded;
    Catalog().SetLanguage(L"en-US");
}

void PrintMessageToStderr(const std::wstring& text, const std::wstring& caption) {
    std::fprintf(stderr, "MESSAGE [%s] %s\n", Narrow(caption).c_str(), Narrow(text).c_str());
    std::fflush(stderr);
}

UserMessageSink MessagesToStderr() {
    UseEnglishTexts();
    return SetUserMessageSink(PrintMessageToStderr);
}

} // namespace helmtest
