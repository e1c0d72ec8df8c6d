// The verb names and their order of dispatch.
#include "UiDriver.h"

using namespace uidriver;

namespace {

struct Verb {
    const wchar_t* name;
    int (*run)(const Options&);
};

constexpr Verb kVerbs[] = {
    {L"find", RunFind},
    {L"children", RunChildren},
    {L"child", RunChild},
    {L"click", RunClick},
    {L"check", RunCheck},
    {L"select", RunSelect},
    {L"close", RunClose},
    {L"msgbox", RunMessageBox},
    {L"screenshot", RunScreenshot},
    {L"screenshot-msgbox", RunScreenshotMessageBox},
    {L"pixel", RunPixel},
    {L"keys", RunKeys},
    {L"focus", RunFocus},
    {L"accessible", RunAccessible},
    {L"wait-gone", RunWaitGone},
    {L"windows", RunWindows},
};

const wchar_t kUsage[] =
    L"usage: uidriver <command> ...; commands: find, children, child, click, check, select, close, msgbox, "
    L"screenshot, screenshot-msgbox, pixel, keys, focus, accessible, wait-gone, windows";

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Physical pixels everywhere, so window rectangles and screen captures agree on high-DPI Windows too.
    SetProcessDPIAware();
    if (argc < 2)
        return Fail(kUsage, 2);
    Options options;
    std::wstring error;
    if (!ParseOptions(argc, argv, options, error))
        return Fail(error, 2);
    const std::wstring verb = argv[1];
    for (const Verb& known : kVerbs)
        if (verb == known.name)
            return known.run(options);
    return Fail(L"unknown command '" + verb + L"'; " + kUsage, 2);
}
