// uidriver: inspects and drives another process's windows for black-box UI tests.
//
// Every command prints exactly one line of JSON (UTF-8) on stdout. Exit code 0 means success, 1 means the
// window/control was not found, a wait timed out or the operation failed, 2 means bad usage.
//
// The window under test may be inside a long message-pumping loop started from WM_COMMAND, so anything that
// makes it act (clicks, selection notifications, WM_CLOSE) is posted, never sent; key events go through the
// input queue, which does not wait for the target either. Queries use SendMessageTimeoutW, which the target
// answers whenever it pumps.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <optional>
#include <type_traits>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;

// Owning wrappers for the few handle kinds used here.
struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DcDeleter {
    void operator()(HDC h) const { DeleteDC(h); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// A DC from GetDC/GetWindowDC, released to its window.
class WindowDc {
  public:
    WindowDc(HWND wnd, HDC dc) : wnd_(wnd), dc_(dc) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ReleaseDC(wnd_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND wnd_;
    HDC dc_;
};

// Puts an object into a DC for the lifetime of the guard.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, old_); }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// GDI+ is only started by the commands that write PNGs.
class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// ---------------------------------------------------------------------------------------------------------
// Minimal JSON value and writer.

std::string toUtf8(const std::wstring& w) {
    if (w.empty())
        return {};
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring fromUtf8(const std::string& s) {
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

class Json {
  public:
    enum class Kind { Null, Bool, Int, Str, Arr, Obj };

    Json() = default;
    Json(bool b) : kind_(Kind::Bool), int_(b ? 1 : 0) {}
    Json(int v) : kind_(Kind::Int), int_(v) {}
    Json(long v) : kind_(Kind::Int), int_(v) {}
    Json(long long v) : kind_(Kind::Int), int_(v) {}
    Json(unsigned v) : kind_(Kind::Int), int_(v) {}
    Json(unsigned long v) : kind_(Kind::Int), int_(static_cast<long long>(v)) {}
    Json(unsigned long long v) : kind_(Kind::Int), int_(static_cast<long long>(v)) {}
    Json(std::wstring s) : kind_(Kind::Str), str_(std::move(s)) {}
    Json(const wchar_t* s) : kind_(Kind::Str), str_(s) {}
    Json(const char* s) : kind_(Kind::Str), str_(fromUtf8(s)) {}

    static Json array() {
        Json j;
        j.kind_ = Kind::Arr;
        return j;
    }
    static Json object() {
        Json j;
        j.kind_ = Kind::Obj;
        return j;
    }

    Json& push(Json v) {
        items_.push_back(std::move(v));
        return *this;
    }
    Json& set(const char* key, Json v) {
        keys_.emplace_back(key);
        items_.push_back(std::move(v));
        return *this;
    }
    void write(std::string& out) const {
        switch (kind_) {
        case Kind::Null:
            out += "null";
            break;
        case Kind::Bool:
            out += int_ ? "true" : "false";
            break;
        case Kind::Int:
            out += std::to_string(int_);
            break;
        case Kind::Str:
            writeString(out, toUtf8(str_));
            break;
        case Kind::Arr:
            out += '[';
            for (size_t i = 0; i < items_.size(); ++i) {
                if (i)
                    out += ", ";
                items_[i].write(out);
            }
            out += ']';
            break;
        case Kind::Obj:
            out += '{';
            for (size_t i = 0; i < items_.size(); ++i) {
                if (i)
                    out += ", ";
                writeString(out, keys_[i]);
                out += ": ";
                items_[i].write(out);
            }
            out += '}';
            break;
        }
    }

  private:
    static void writeString(std::string& out, const std::string& s) {
        out += '"';
        for (unsigned char c : s) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    wsprintfA(buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
            }
        }
        out += '"';
    }

    Kind kind_ = Kind::Null;
    long long int_ = 0;
    std::wstring str_;
    std::vector<Json> items_;
    std::vector<std::string> keys_;
};

// Writes raw UTF-8 bytes: the console code page must not get a chance to mangle non-ASCII text.
void emit(const Json& j) {
    std::string out;
    j.write(out);
    out += '\n';
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    const char* p = out.data();
    size_t left = out.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(h, p, static_cast<DWORD>(left), &written, nullptr) || written == 0)
            break;
        p += written;
        left -= written;
    }
}

int fail(const std::wstring& message, int code = 1) {
    emit(Json::object().set("error", message));
    return code;
}

// ---------------------------------------------------------------------------------------------------------
// Command line.

// Arguments of the form "@u8:<hex>" carry UTF-8 text as hex, so callers can pass non-ASCII text without
// depending on the locale Wine uses to turn the Unix argv into UTF-16.
std::wstring decodeArg(const std::wstring& a) {
    const std::wstring prefix = L"@u8:";
    if (a.compare(0, prefix.size(), prefix) != 0)
        return a;
    std::string bytes;
    for (size_t i = prefix.size(); i + 1 < a.size(); i += 2) {
        wchar_t pair[3] = {a[i], a[i + 1], 0};
        bytes += static_cast<char>(std::wcstoul(pair, nullptr, 16));
    }
    return fromUtf8(bytes);
}

struct Options {
    std::vector<std::wstring> positional;
    DWORD pid = 0;
    std::wstring exe;
    HWND hwnd = nullptr;
    DWORD timeoutMs = 0;
    bool answer = false;
    std::optional<std::wstring> button;
    bool force = false;
    bool notify = false;
    bool all = false;
    bool visibleOnly = false;
    std::wstring method = L"screen";
    DWORD settleMs = 300;
    DWORD pauseMs = 50;
    std::optional<DWORD> againMs;
};

bool parseNumber(const std::wstring& s, long long& out) {
    if (s.empty())
        return false;
    wchar_t* end = nullptr;
    out = std::wcstoll(s.c_str(), &end, 0);
    return end && *end == 0;
}

bool parseOptions(int argc, wchar_t** argv, Options& o, std::wstring& error) {
    bool endOfOptions = false;
    for (int i = 2; i < argc; ++i) {
        std::wstring a = decodeArg(argv[i]);
        if (endOfOptions || a.size() < 3 || a.compare(0, 2, L"--") != 0) {
            o.positional.push_back(a);
            continue;
        }
        if (a == L"--") {
            endOfOptions = true;
            continue;
        }
        auto value = [&](std::wstring& v) {
            if (i + 1 >= argc) {
                error = a + L" needs a value";
                return false;
            }
            v = decodeArg(argv[++i]);
            return true;
        };
        auto number = [&](long long& n) {
            std::wstring v;
            if (!value(v))
                return false;
            if (!parseNumber(v, n) || n < 0) {
                error = a + L" needs a non-negative number, got '" + v + L"'";
                return false;
            }
            return true;
        };
        long long n = 0;
        std::wstring v;
        if (a == L"--pid") {
            if (!number(n))
                return false;
            o.pid = static_cast<DWORD>(n);
        } else if (a == L"--hwnd") {
            if (!number(n))
                return false;
            o.hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(n));
        } else if (a == L"--timeout") {
            if (!number(n))
                return false;
            o.timeoutMs = static_cast<DWORD>(n);
        } else if (a == L"--settle") {
            if (!number(n))
                return false;
            o.settleMs = static_cast<DWORD>(n);
        } else if (a == L"--pause") {
            if (!number(n))
                return false;
            o.pauseMs = static_cast<DWORD>(n);
        } else if (a == L"--again") {
            if (!number(n))
                return false;
            o.againMs = static_cast<DWORD>(n);
        } else if (a == L"--exe") {
            if (!value(o.exe))
                return false;
        } else if (a == L"--method") {
            if (!value(o.method))
                return false;
        } else if (a == L"--button") {
            if (!value(v))
                return false;
            o.button = v;
            o.answer = true;
        } else if (a == L"--answer") {
            o.answer = true;
        } else if (a == L"--force") {
            o.force = true;
        } else if (a == L"--notify") {
            o.notify = true;
        } else if (a == L"--all") {
            o.all = true;
        } else if (a == L"--visible") {
            o.visibleOnly = true;
        } else {
            error = L"unknown option " + a;
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Window helpers.

bool equalsNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring withoutMnemonics(const std::wstring& s) {
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'&' && i + 1 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}

std::wstring className(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

DWORD windowPid(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::wstring processImageName(DWORD pid) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return {};
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process.get(), 0, buf, &size))
        return {};
    std::wstring name(buf, size);
    const size_t slash = name.find_last_of(L"\\/");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

std::optional<LRESULT> sendTimeout(HWND h, UINT msg, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// Reads a top-level caption without sending a message: the target may be busy.
std::wstring captionOf(HWND h) {
    wchar_t buf[1024] = {};
    InternalGetWindowText(h, buf, 1024);
    return buf;
}

// WM_GETTEXT returns what the control reports (a combo box's selection, for example); if the owner does not
// answer in time, fall back to the text stored with the window.
std::wstring textOf(HWND h) {
    auto len = sendTimeout(h, WM_GETTEXTLENGTH, 0, 0);
    if (len && *len >= 0) {
        std::vector<wchar_t> buf(static_cast<size_t>(*len) + 2, L'\0');
        if (sendTimeout(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data())))
            return buf.data();
    }
    return captionOf(h);
}

struct WindowFilter {
    std::wstring cls; // empty: any class
    DWORD pid = 0;
    std::wstring exe;
    HWND hwnd = nullptr;
    bool visibleOnly = false;
};

WindowFilter filterFrom(const Options& o, std::wstring cls) {
    WindowFilter f;
    f.cls = std::move(cls);
    f.pid = o.pid;
    f.exe = o.exe;
    f.hwnd = o.hwnd;
    f.visibleOnly = o.visibleOnly;
    return f;
}

bool matches(HWND h, const WindowFilter& f) {
    if (f.hwnd && h != f.hwnd)
        return false;
    if (!f.cls.empty() && !equalsNoCase(className(h), f.cls))
        return false;
    if (f.pid && windowPid(h) != f.pid)
        return false;
    if (f.visibleOnly && !IsWindowVisible(h))
        return false;
    if (!f.exe.empty() && !equalsNoCase(processImageName(windowPid(h)), f.exe))
        return false;
    return true;
}

BOOL CALLBACK collectWindow(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> matchingWindows(const WindowFilter& f) {
    std::vector<HWND> out;
    for (HWND h : topLevelWindows())
        if (matches(h, f))
            out.push_back(h);
    return out;
}

// A visible match wins over hidden ones (Z order otherwise), so a lingering hidden window of the same class
// does not shadow the one the user sees.
HWND pickWindow(const std::vector<HWND>& found) {
    for (HWND h : found)
        if (IsWindowVisible(h))
            return h;
    return found.empty() ? nullptr : found.front();
}

template <typename F> auto pollUntil(DWORD timeoutMs, F attempt) -> decltype(attempt()) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        auto r = attempt();
        if (r || GetTickCount64() - start >= timeoutMs)
            return r;
        Sleep(kPollMs);
    }
}

// Waiting means waiting for the window to show: a window caught between creation and ShowWindow is only
// returned once the timeout has run out.
HWND waitWindow(const WindowFilter& f, DWORD timeoutMs, size_t* count = nullptr) {
    HWND hidden = nullptr;
    HWND shown = pollUntil(timeoutMs, [&]() -> HWND {
        auto found = matchingWindows(f);
        if (count)
            *count = found.size();
        HWND h = pickWindow(found);
        hidden = h && !IsWindowVisible(h) ? h : nullptr;
        return hidden ? nullptr : h;
    });
    return shown ? shown : hidden;
}

std::wstring describe(const WindowFilter& f) {
    std::wstring d = L"no window of class '" + f.cls + L"'";
    if (f.pid)
        d += L" owned by pid " + std::to_wstring(f.pid);
    if (!f.exe.empty())
        d += L" of " + f.exe;
    if (f.hwnd)
        d += L" with hwnd " + std::to_wstring(reinterpret_cast<UINT_PTR>(f.hwnd));
    return d;
}

// Only direct children: controls such as a combo box may own windows of their own.
std::vector<HWND> directChildren(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> out;
    for (HWND h : all)
        if (GetAncestor(h, GA_PARENT) == parent)
            out.push_back(h);
    return out;
}

Json rectJson(const RECT& r) {
    return Json::object().set("left", r.left).set("top", r.top).set("right", r.right).set("bottom", r.bottom);
}

const wchar_t* buttonTypeName(LONG type) {
    static const wchar_t* names[] = {L"pushbutton",  L"defpushbutton",   L"checkbox",    L"autocheckbox",
                                     L"radiobutton", L"3state",          L"auto3state",  L"groupbox",
                                     L"userbutton",  L"autoradiobutton", L"pushbox",     L"ownerdraw",
                                     L"splitbutton", L"defsplitbutton",  L"commandlink", L"defcommandlink"};
    return names[type & 0xF];
}

bool isCheckable(LONG type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

std::vector<std::wstring> comboItems(HWND combo) {
    std::vector<std::wstring> items;
    auto count = sendTimeout(combo, CB_GETCOUNT, 0, 0);
    if (!count || *count < 0)
        return items;
    for (LRESULT i = 0; i < *count; ++i) {
        auto len = sendTimeout(combo, CB_GETLBTEXTLEN, i, 0);
        std::vector<wchar_t> buf(static_cast<size_t>(len && *len > 0 ? *len : 0) + 2, L'\0');
        auto got = sendTimeout(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
        items.emplace_back(got && *got != CB_ERR ? buf.data() : L"");
    }
    return items;
}

Json childInfo(HWND parent, HWND h, size_t index) {
    const std::wstring cls = className(h);
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    RECT r{};
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);

    Json j = Json::object();
    j.set("index", static_cast<long long>(index))
        .set("hwnd", reinterpret_cast<UINT_PTR>(h))
        .set("class", cls)
        .set("id", static_cast<long long>(GetDlgCtrlID(h)))
        .set("text", textOf(h))
        .set("visible", IsWindowVisible(h) != FALSE)
        .set("enabled", IsWindowEnabled(h) != FALSE)
        .set("x", r.left)
        .set("y", r.top)
        .set("w", r.right - r.left)
        .set("h", r.bottom - r.top)
        .set("style", static_cast<unsigned long>(style))
        .set("exstyle", static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)));

    if (equalsNoCase(cls, L"Button")) {
        const LONG type = style & BS_TYPEMASK;
        j.set("button_type", type).set("button_type_name", buttonTypeName(type));
        auto checked = sendTimeout(h, BM_GETCHECK, 0, 0);
        j.set("checked", checked ? Json(static_cast<long long>(*checked)) : Json());
    } else if (equalsNoCase(cls, L"ComboBox")) {
        Json items = Json::array();
        for (auto& s : comboItems(h))
            items.push(s);
        auto sel = sendTimeout(h, CB_GETCURSEL, 0, 0);
        j.set("items", items).set("selected", sel ? Json(static_cast<long long>(*sel)) : Json());
    } else if (equalsNoCase(cls, PROGRESS_CLASSW)) {
        auto pos = sendTimeout(h, PBM_GETPOS, 0, 0);
        auto lo = sendTimeout(h, PBM_GETRANGE, TRUE, 0);
        auto hi = sendTimeout(h, PBM_GETRANGE, FALSE, 0);
        j.set("pos", pos ? Json(static_cast<long long>(*pos)) : Json());
        j.set("range", Json::array()
                           .push(lo ? Json(static_cast<long long>(*lo)) : Json())
                           .push(hi ? Json(static_cast<long long>(*hi)) : Json()));
    } else if (equalsNoCase(cls, L"Static")) {
        j.set("static_type", static_cast<long long>(style & SS_TYPEMASK));
        j.set("notify", (style & SS_NOTIFY) != 0);
    }

    auto font = sendTimeout(h, WM_GETFONT, 0, 0);
    if (font && *font) {
        LOGFONTW lf{};
        Json f = Json::object().set("handle", static_cast<unsigned long long>(*font));
        if (GetObjectW(reinterpret_cast<HFONT>(*font), sizeof lf, &lf) == sizeof lf) {
            f.set("height", lf.lfHeight).set("weight", lf.lfWeight).set("face", lf.lfFaceName);
        } else {
            // GDI handles are per process; a font the target created is usually unreadable from here.
            f.set("height", Json()).set("weight", Json()).set("face", Json());
        }
        j.set("font", f);
    } else {
        j.set("font", Json());
    }
    return j;
}

// Child specs: "index:N", "id:N", "text:Exact text" (falls back to ignoring '&' mnemonics), "class:Name#K".
// Sets badSpec when the control selector itself is malformed (a usage error, not a missing control).
HWND resolveSpec(HWND parent, const std::wstring& spec, std::wstring& error, bool& badSpec,
                 size_t* indexOut) {
    auto kids = directChildren(parent);
    auto found = [&](size_t i) {
        if (indexOut)
            *indexOut = i;
        return kids[i];
    };
    const size_t colon = spec.find(L':');
    if (colon == std::wstring::npos) {
        error = L"bad child spec '" + spec + L"' (use index:N, id:N, text:T or class:C#K)";
        badSpec = true;
        return nullptr;
    }
    const std::wstring kind = spec.substr(0, colon);
    const std::wstring arg = spec.substr(colon + 1);
    long long n = 0;
    if (kind == L"index") {
        if (!parseNumber(arg, n) || n < 0) {
            error = L"bad index in '" + spec + L"'";
            badSpec = true;
            return nullptr;
        }
        if (static_cast<size_t>(n) < kids.size())
            return found(static_cast<size_t>(n));
    } else if (kind == L"id") {
        if (!parseNumber(arg, n)) {
            error = L"bad id in '" + spec + L"'";
            badSpec = true;
            return nullptr;
        }
        for (size_t i = 0; i < kids.size(); ++i)
            if (GetDlgCtrlID(kids[i]) == n)
                return found(i);
    } else if (kind == L"text") {
        std::vector<std::wstring> texts;
        for (HWND k : kids)
            texts.push_back(textOf(k));
        for (size_t i = 0; i < kids.size(); ++i)
            if (texts[i] == arg)
                return found(i);
        for (size_t i = 0; i < kids.size(); ++i)
            if (withoutMnemonics(texts[i]) == withoutMnemonics(arg))
                return found(i);
    } else if (kind == L"class") {
        std::wstring cls = arg;
        long long k = 0;
        const size_t hash = arg.rfind(L'#');
        if (hash != std::wstring::npos) {
            cls = arg.substr(0, hash);
            if (!parseNumber(arg.substr(hash + 1), k) || k < 0) {
                error = L"bad class ordinal in '" + spec + L"'";
                badSpec = true;
                return nullptr;
            }
        }
        for (size_t i = 0; i < kids.size(); ++i)
            if (equalsNoCase(className(kids[i]), cls) && k-- == 0)
                return found(i);
    } else {
        error = L"bad child spec '" + spec + L"' (use index:N, id:N, text:T or class:C#K)";
        badSpec = true;
        return nullptr;
    }
    error = L"no child matches '" + spec + L"'";
    return nullptr;
}

// Finds the window and then the child, both within one overall timeout.
struct Target {
    HWND window = nullptr;
    HWND child = nullptr;
    size_t index = 0;
};

int findTarget(const Options& o, const std::wstring& cls, const std::wstring& spec, Target& t) {
    const WindowFilter f = filterFrom(o, cls);
    std::wstring error;
    bool badSpec = false;
    const bool ok = pollUntil(o.timeoutMs, [&]() -> bool {
        t.window = waitWindow(f, 0);
        if (!t.window) {
            error = describe(f);
            return false;
        }
        t.child = resolveSpec(t.window, spec, error, badSpec, &t.index);
        return t.child != nullptr || badSpec;
    });
    if (ok && !badSpec)
        return 0;
    return fail(error, badSpec ? 2 : 1);
}

// Refuses to act on what a user could not click, unless the caller insists.
int checkUsable(const Options& o, const Target& t) {
    if (o.force)
        return 0;
    if (!IsWindowEnabled(t.child) || !IsWindowEnabled(t.window))
        return fail(L"control is disabled (use --force to send anyway)");
    if (!IsWindowVisible(t.child))
        return fail(L"control is hidden (use --force to send anyway)");
    return 0;
}

Json targetJson(const Target& t) {
    return Json::object()
        .set("hwnd", reinterpret_cast<UINT_PTR>(t.window))
        .set("child", reinterpret_cast<UINT_PTR>(t.child))
        .set("index", static_cast<long long>(t.index))
        .set("class", className(t.child))
        .set("id", static_cast<long long>(GetDlgCtrlID(t.child)));
}

// ---------------------------------------------------------------------------------------------------------
// Capturing pixels.

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top-down
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

// Raises the window so a capture from the screen shows it rather than whatever overlaps it. The window pos
// change is asynchronous so a busy target cannot block us; the settle delay lets it repaint.
void bringToFront(HWND h, DWORD settleMs) {
    if (GetForegroundWindow() != h)
        SetForegroundWindow(h);
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    Sleep(settleMs);
}

bool captureWindow(HWND h, const std::wstring& method, DWORD settleMs, Capture& cap, std::wstring& error) {
    RECT wr{};
    if (!GetWindowRect(h, &wr)) {
        error = L"GetWindowRect failed";
        return false;
    }
    cap.width = wr.right - wr.left;
    cap.height = wr.bottom - wr.top;
    if (cap.width <= 0 || cap.height <= 0) {
        error = L"window has an empty rectangle";
        return false;
    }

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cap.width;
    bi.bmiHeader.biHeight = -cap.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr, GetDC(nullptr));
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDc mem(CreateCompatibleDC(screen.get()));
    if (!dib || !mem) {
        error = L"cannot create a capture bitmap";
        return false;
    }
    Selection selected(mem.get(), dib.get());

    bool ok = false;
    if (method == L"screen") {
        bringToFront(h, settleMs);
        GetWindowRect(h, &wr);
        ok = BitBlt(mem.get(), 0, 0, cap.width, cap.height, screen.get(), wr.left, wr.top,
                    SRCCOPY | CAPTUREBLT) != FALSE;
    } else if (method == L"print") {
        ok = PrintWindow(h, mem.get(), 0) != FALSE;
    } else if (method == L"window") {
        bringToFront(h, settleMs);
        WindowDc wdc(h, GetWindowDC(h));
        ok = BitBlt(mem.get(), 0, 0, cap.width, cap.height, wdc.get(), 0, 0, SRCCOPY) != FALSE;
    } else {
        error = L"unknown capture method '" + method + L"' (screen, print or window)";
        return false;
    }
    GdiFlush();
    if (!ok) {
        error = L"capture with method '" + method + L"' failed";
        return false;
    }
    const auto* src = static_cast<const uint32_t*>(bits);
    cap.pixels.assign(src, src + static_cast<size_t>(cap.width) * cap.height);
    // Wine cannot send WM_PRINT to another process: PrintWindow then "succeeds" with an untouched bitmap.
    if (method == L"print" &&
        std::all_of(cap.pixels.begin(), cap.pixels.end(), [](uint32_t p) { return (p & 0xFFFFFF) == 0; })) {
        error = L"PrintWindow produced an empty image (not supported across processes under Wine)";
        return false;
    }
    return true;
}

bool pngEncoder(CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// "/tmp/x.png" is taken to mean the Unix path, which Wine exposes under Z:.
std::wstring toWindowsPath(std::wstring p) {
    if (!p.empty() && p[0] == L'/') {
        std::replace(p.begin(), p.end(), L'/', L'\\');
        p = L"Z:" + p;
    }
    return p;
}

bool savePng(const Capture& cap, const std::wstring& path, std::wstring& error) {
    GdiplusSession gdiplus;
    if (!gdiplus.ok()) {
        error = L"GdiplusStartup failed";
        return false;
    }
    // Screen pixels carry no alpha; mark them opaque so the PNG is not transparent.
    std::vector<uint32_t> opaque(cap.pixels.size());
    std::transform(cap.pixels.begin(), cap.pixels.end(), opaque.begin(),
                   [](uint32_t p) { return p | 0xFF000000u; });
    Gdiplus::Bitmap bmp(cap.width, cap.height, cap.width * 4, PixelFormat32bppARGB,
                        reinterpret_cast<BYTE*>(opaque.data()));
    CLSID clsid{};
    if (!pngEncoder(clsid)) {
        error = L"no PNG encoder";
        return false;
    }
    const Gdiplus::Status s = bmp.Save(path.c_str(), &clsid, nullptr);
    if (s != Gdiplus::Ok) {
        error = L"saving the PNG failed, GDI+ status " + std::to_wstring(static_cast<int>(s));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Message boxes.

struct MsgBox {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    struct Button {
        HWND hwnd;
        int id;
        std::wstring text;
        bool isDefault;
    };
    std::vector<Button> buttons;
};

HWND findMessageBox(const Options& o) {
    WindowFilter f = filterFrom(o, L"#32770");
    f.visibleOnly = true;
    return pollUntil(o.timeoutMs, [&]() -> HWND {
        auto found = matchingWindows(f);
        return found.empty() ? nullptr : found.front();
    });
}

// The message is the dialog's non-empty text statics, excluding icons; the message-text static (id 0xFFFF on
// both Windows and Wine) goes first when present.
MsgBox readMessageBox(HWND dlg) {
    MsgBox m;
    m.hwnd = dlg;
    m.caption = captionOf(dlg);
    std::vector<std::wstring> texts;
    for (HWND k : directChildren(dlg)) {
        const std::wstring cls = className(k);
        const LONG style = GetWindowLongW(k, GWL_STYLE);
        if (equalsNoCase(cls, L"Static")) {
            const LONG type = style & SS_TYPEMASK;
            if (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE || type == SS_OWNERDRAW)
                continue;
            std::wstring t = textOf(k);
            if (t.empty())
                continue;
            if ((GetDlgCtrlID(k) & 0xFFFF) == 0xFFFF)
                texts.insert(texts.begin(), t);
            else
                texts.push_back(t);
        } else if (equalsNoCase(cls, L"Button") && IsWindowVisible(k)) {
            const LONG type = style & BS_TYPEMASK;
            m.buttons.push_back({k, GetDlgCtrlID(k), textOf(k), type == BS_DEFPUSHBUTTON});
        } else if (equalsNoCase(cls, L"Edit")) {
            std::wstring t = textOf(k);
            if (!t.empty())
                texts.push_back(t);
        }
    }
    for (size_t i = 0; i < texts.size(); ++i)
        m.text += (i ? L"\n" : L"") + texts[i];
    return m;
}

Json msgBoxJson(const MsgBox& m) {
    Json buttons = Json::array();
    Json buttonTexts = Json::array();
    for (auto& b : m.buttons) {
        buttons.push(Json::object()
                         .set("id", b.id)
                         .set("text", b.text)
                         .set("default", b.isDefault)
                         .set("hwnd", reinterpret_cast<UINT_PTR>(b.hwnd)));
        buttonTexts.push(b.text);
    }
    return Json::object()
        .set("hwnd", reinterpret_cast<UINT_PTR>(m.hwnd))
        .set("pid", static_cast<unsigned long>(windowPid(m.hwnd)))
        .set("caption", m.caption)
        .set("text", m.text)
        .set("button_texts", buttonTexts)
        .set("buttons", buttons);
}

// ---------------------------------------------------------------------------------------------------------
// Keyboard.

struct NamedKey {
    const wchar_t* name;
    WORD vk;
    bool extended; // keys of the extended block: without the flag the arrows arrive as the keypad's
};

constexpr NamedKey kNamedKeys[] = {
    {L"TAB", VK_TAB, false},        {L"ENTER", VK_RETURN, false},  {L"RETURN", VK_RETURN, false},
    {L"ESC", VK_ESCAPE, false},     {L"ESCAPE", VK_ESCAPE, false}, {L"SPACE", VK_SPACE, false},
    {L"BACKSPACE", VK_BACK, false}, {L"DELETE", VK_DELETE, true},  {L"INSERT", VK_INSERT, true},
    {L"HOME", VK_HOME, true},       {L"END", VK_END, true},        {L"PAGEUP", VK_PRIOR, true},
    {L"PAGEDOWN", VK_NEXT, true},   {L"LEFT", VK_LEFT, true},      {L"RIGHT", VK_RIGHT, true},
    {L"UP", VK_UP, true},           {L"DOWN", VK_DOWN, true},      {L"SHIFT", VK_SHIFT, false},
    {L"CTRL", VK_CONTROL, false},   {L"ALT", VK_MENU, false},
};

std::optional<NamedKey> keyByName(const std::wstring& name) {
    for (const NamedKey& k : kNamedKeys)
        if (equalsNoCase(name, k.name))
            return k;
    // Letters and digits are their own virtual keys; F1..F24 follow each other.
    const wchar_t c = name.size() == 1 ? std::towupper(name[0]) : 0;
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z'))
        return NamedKey{nullptr, static_cast<WORD>(c), false};
    long long f = 0;
    if (name.size() > 1 && (name[0] == L'F' || name[0] == L'f') && parseNumber(name.substr(1), f) && f >= 1 &&
        f <= 24)
        return NamedKey{nullptr, static_cast<WORD>(VK_F1 + f - 1), false};
    return std::nullopt;
}

INPUT keyInput(const NamedKey& k, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = k.vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k.vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (k.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// "SHIFT+TAB": the keys go down in order and come up in reverse, as typed.
bool chordInputs(const std::wstring& chord, std::vector<INPUT>& out, std::wstring& error) {
    std::vector<NamedKey> keys;
    for (size_t start = 0;;) {
        const size_t plus = chord.find(L'+', start);
        const std::wstring name = chord.substr(start, plus == std::wstring::npos ? plus : plus - start);
        auto key = keyByName(name);
        if (!key) {
            error = L"unknown key '" + name + L"' in '" + chord + L"'";
            return false;
        }
        keys.push_back(*key);
        if (plus == std::wstring::npos)
            break;
        start = plus + 1;
    }
    out.clear();
    for (const NamedKey& k : keys)
        out.push_back(keyInput(k, false));
    for (auto k = keys.rbegin(); k != keys.rend(); ++k)
        out.push_back(keyInput(*k, true));
    return true;
}

bool sendInputs(std::vector<INPUT>& inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// Key events go to whichever window is in the foreground, so the target must be there first. Windows lets
// only the process that had the last input move the foreground: sharing the current foreground thread's input
// state lifts that, and a synthetic ALT tap counts as our input when even that is refused.
bool toForeground(HWND h) {
    auto isForeground = [h] { return GetForegroundWindow() == h; };
    if (isForeground())
        return true;
    const DWORD self = GetCurrentThreadId();
    const DWORD current = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = current && current != self && AttachThreadInput(self, current, TRUE);
    SetForegroundWindow(h);
    BringWindowToTop(h);
    bool done = pollUntil(500, isForeground);
    if (!done) {
        const NamedKey alt{L"ALT", VK_MENU, false};
        std::vector<INPUT> tap{keyInput(alt, false), keyInput(alt, true)};
        sendInputs(tap);
        SetForegroundWindow(h);
        done = pollUntil(1000, isForeground);
    }
    if (attached)
        AttachThreadInput(self, current, FALSE);
    return done;
}

// ---------------------------------------------------------------------------------------------------------
// Commands.

int cmdFind(const Options& o) {
    if (o.positional.size() != 1)
        return fail(L"usage: find <class> [--pid N] [--exe NAME] [--hwnd H] [--visible] [--timeout MS]", 2);
    const WindowFilter f = filterFrom(o, o.positional[0]);
    size_t count = 0;
    HWND h = waitWindow(f, o.timeoutMs, &count);
    if (!h)
        return fail(describe(f));
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    const DWORD pid = windowPid(h);
    emit(Json::object()
             .set("hwnd", reinterpret_cast<UINT_PTR>(h))
             .set("pid", static_cast<unsigned long>(pid))
             .set("exe", processImageName(pid))
             .set("class", className(h))
             .set("title", captionOf(h))
             .set("rect", rectJson(wr))
             .set("width", wr.right - wr.left)
             .set("height", wr.bottom - wr.top)
             .set("client", Json::object().set("w", cr.right).set("h", cr.bottom))
             .set("client_origin", Json::object().set("x", origin.x).set("y", origin.y))
             .set("style", static_cast<unsigned long>(style))
             .set("exstyle", static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)))
             .set("has_maximize_box", (style & WS_MAXIMIZEBOX) != 0)
             .set("has_minimize_box", (style & WS_MINIMIZEBOX) != 0)
             .set("has_sizing_border", (style & WS_THICKFRAME) != 0)
             .set("visible", IsWindowVisible(h) != FALSE)
             .set("enabled", IsWindowEnabled(h) != FALSE)
             .set("minimized", IsIconic(h) != FALSE)
             .set("maximized", IsZoomed(h) != FALSE)
             .set("foreground", GetForegroundWindow() == h)
             .set("count", static_cast<long long>(count)));
    return 0;
}

int cmdChildren(const Options& o) {
    if (o.positional.size() != 1)
        return fail(L"usage: children <class> [--pid N] [--timeout MS]", 2);
    const WindowFilter f = filterFrom(o, o.positional[0]);
    HWND h = waitWindow(f, o.timeoutMs);
    if (!h)
        return fail(describe(f));
    Json arr = Json::array();
    auto kids = directChildren(h);
    for (size_t i = 0; i < kids.size(); ++i)
        arr.push(childInfo(h, kids[i], i));
    emit(Json::object()
             .set("hwnd", reinterpret_cast<UINT_PTR>(h))
             .set("pid", static_cast<unsigned long>(windowPid(h)))
             .set("children", arr));
    return 0;
}

int cmdChild(const Options& o) {
    if (o.positional.size() != 2)
        return fail(L"usage: child <class> <spec> [--pid N] [--timeout MS]", 2);
    Target t;
    if (int rc = findTarget(o, o.positional[0], o.positional[1], t))
        return rc;
    emit(childInfo(t.window, t.child, t.index));
    return 0;
}

int cmdClick(const Options& o) {
    if (o.positional.size() != 2)
        return fail(L"usage: click <class> <spec> [--pid N] [--timeout MS] [--force] [--again MS]", 2);
    Target t;
    if (int rc = findTarget(o, o.positional[0], o.positional[1], t))
        return rc;
    if (int rc = checkUsable(o, t))
        return rc;
    Json out = targetJson(t);
    // A real click on an automatic check box or radio button changes its state before the parent hears of it.
    if (equalsNoCase(className(t.child), L"Button")) {
        const LONG type = GetWindowLongW(t.child, GWL_STYLE) & BS_TYPEMASK;
        auto state = sendTimeout(t.child, BM_GETCHECK, 0, 0);
        if (state && (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON)) {
            WPARAM next = BST_CHECKED;
            if (type == BS_AUTOCHECKBOX)
                next = *state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            else if (type == BS_AUTO3STATE)
                next = (*state + 1) % 3;
            sendTimeout(t.child, BM_SETCHECK, next, 0);
            out.set("checked", static_cast<long long>(next));
        }
    }
    const int id = GetDlgCtrlID(t.child);
    if (!PostMessageW(t.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(t.child)))
        return fail(L"PostMessage failed");
    // A second press a set time after the first, however long the caller itself takes to start a program.
    if (o.againMs) {
        Sleep(*o.againMs);
        if (!PostMessageW(t.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(t.child)))
            return fail(L"PostMessage failed for the second press");
    }
    emit(out.set("posted", true));
    return 0;
}

int cmdCheck(const Options& o) {
    if (o.positional.size() != 3)
        return fail(L"usage: check <class> <spec> 0|1|2 [--notify] [--pid N] [--timeout MS]", 2);
    long long state = 0;
    if (!parseNumber(o.positional[2], state) || state < 0 || state > 2)
        return fail(L"check state must be 0, 1 or 2", 2);
    Target t;
    if (int rc = findTarget(o, o.positional[0], o.positional[1], t))
        return rc;
    if (!equalsNoCase(className(t.child), L"Button") ||
        !isCheckable(GetWindowLongW(t.child, GWL_STYLE) & BS_TYPEMASK))
        return fail(L"control is not a check box or radio button");
    if (o.notify) {
        if (int rc = checkUsable(o, t))
            return rc;
    }
    if (!sendTimeout(t.child, BM_SETCHECK, static_cast<WPARAM>(state), 0))
        return fail(L"BM_SETCHECK timed out");
    auto now = sendTimeout(t.child, BM_GETCHECK, 0, 0);
    if (o.notify)
        PostMessageW(t.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.child), BN_CLICKED),
                     reinterpret_cast<LPARAM>(t.child));
    emit(targetJson(t)
             .set("checked", now ? Json(static_cast<long long>(*now)) : Json())
             .set("notified", o.notify));
    return 0;
}

int cmdSelect(const Options& o) {
    if (o.positional.size() != 3)
        return fail(L"usage: select <class> <spec> <index | text:Item> [--pid N] [--timeout MS] [--force]",
                    2);
    Target t;
    if (int rc = findTarget(o, o.positional[0], o.positional[1], t))
        return rc;
    if (!equalsNoCase(className(t.child), L"ComboBox"))
        return fail(L"control is not a combo box");
    if (int rc = checkUsable(o, t))
        return rc;
    const auto items = comboItems(t.child);
    const std::wstring& which = o.positional[2];
    long long index = -1;
    if (which.compare(0, 5, L"text:") == 0) {
        const std::wstring want = which.substr(5);
        for (size_t i = 0; i < items.size() && index < 0; ++i)
            if (items[i] == want)
                index = static_cast<long long>(i);
        if (index < 0)
            return fail(L"no combo box item '" + want + L"'");
    } else if (!parseNumber(which, index) || index < 0 || index >= static_cast<long long>(items.size())) {
        return fail(L"item index out of range: '" + which + L"' (" + std::to_wstring(items.size()) +
                    L" items)");
    }
    auto r = sendTimeout(t.child, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!r || *r == CB_ERR)
        return fail(L"CB_SETCURSEL failed");
    PostMessageW(t.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.child), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(t.child));
    emit(targetJson(t)
             .set("selected", index)
             .set("item", items[static_cast<size_t>(index)])
             .set("posted", true));
    return 0;
}

int cmdClose(const Options& o) {
    if (o.positional.size() != 1)
        return fail(L"usage: close <class> [--pid N] [--timeout MS]", 2);
    const WindowFilter f = filterFrom(o, o.positional[0]);
    HWND h = waitWindow(f, o.timeoutMs);
    if (!h)
        return fail(describe(f));
    if (!PostMessageW(h, WM_CLOSE, 0, 0))
        return fail(L"PostMessage failed");
    emit(Json::object().set("hwnd", reinterpret_cast<UINT_PTR>(h)).set("posted", true));
    return 0;
}

int cmdMsgBox(const Options& o) {
    if (!o.positional.empty())
        return fail(L"usage: msgbox [--pid N] [--exe NAME] [--timeout MS] [--answer] [--button TEXT]", 2);
    HWND dlg = findMessageBox(o);
    if (!dlg)
        return fail(L"no message box" +
                    (o.pid ? L" owned by pid " + std::to_wstring(o.pid) : std::wstring()));
    MsgBox m = readMessageBox(dlg);
    Json out = msgBoxJson(m);
    if (!o.answer) {
        emit(out);
        return 0;
    }
    const MsgBox::Button* press = nullptr;
    if (o.button) {
        for (auto& b : m.buttons)
            if (!press && (b.text == *o.button || withoutMnemonics(b.text) == withoutMnemonics(*o.button)))
                press = &b;
        if (!press)
            return fail(L"message box has no button '" + *o.button + L"'");
    } else {
        for (auto& b : m.buttons)
            if (!press && b.id == IDOK)
                press = &b;
        for (auto& b : m.buttons)
            if (!press && b.isDefault)
                press = &b;
        if (!press && !m.buttons.empty())
            press = &m.buttons.front();
    }
    const int id = press ? press->id : IDOK;
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(press ? press->hwnd : nullptr));
    const bool gone = pollUntil(std::max<DWORD>(o.timeoutMs, 5000), [&] { return !IsWindow(dlg); });
    out.set("answered", press ? Json(press->text) : Json(L"OK")).set("answered_id", id).set("gone", gone);
    emit(out);
    return gone ? 0 : 1;
}

int screenshotOf(HWND h, const Options& o, const std::wstring& out) {
    Capture cap;
    std::wstring error;
    if (!captureWindow(h, o.method, o.settleMs, cap, error))
        return fail(error);
    const std::wstring path = toWindowsPath(out);
    if (!savePng(cap, path, error))
        return fail(error);
    emit(Json::object()
             .set("hwnd", reinterpret_cast<UINT_PTR>(h))
             .set("path", path)
             .set("width", cap.width)
             .set("height", cap.height)
             .set("method", o.method));
    return 0;
}

int cmdScreenshot(const Options& o) {
    if (o.positional.size() != 2)
        return fail(
            L"usage: screenshot <class> <out.png> [--pid N] [--timeout MS] [--method screen|print|window]",
            2);
    const WindowFilter f = filterFrom(o, o.positional[0]);
    HWND h = waitWindow(f, o.timeoutMs);
    if (!h)
        return fail(describe(f));
    return screenshotOf(h, o, o.positional[1]);
}

int cmdScreenshotMsgBox(const Options& o) {
    if (o.positional.size() != 1)
        return fail(L"usage: screenshot-msgbox <out.png> [--pid N] [--timeout MS]", 2);
    HWND dlg = findMessageBox(o);
    if (!dlg)
        return fail(L"no message box");
    return screenshotOf(dlg, o, o.positional[0]);
}

int cmdPixel(const Options& o) {
    if (o.positional.size() < 3 || o.positional.size() % 2 == 0)
        return fail(L"usage: pixel <class> <x> <y> [<x> <y> ...] [--pid N] [--timeout MS]", 2);
    std::vector<POINT> points;
    for (size_t i = 1; i + 1 < o.positional.size(); i += 2) {
        long long x = 0, y = 0;
        if (!parseNumber(o.positional[i], x) || !parseNumber(o.positional[i + 1], y))
            return fail(L"pixel coordinates must be numbers", 2);
        points.push_back({static_cast<LONG>(x), static_cast<LONG>(y)});
    }
    const WindowFilter f = filterFrom(o, o.positional[0]);
    HWND h = waitWindow(f, o.timeoutMs);
    if (!h)
        return fail(describe(f));
    Capture cap;
    std::wstring error;
    if (!captureWindow(h, o.method, o.settleMs, cap, error))
        return fail(error);
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    Json list = Json::array();
    Json pixel0;
    for (const POINT& p : points) {
        if (p.x < 0 || p.y < 0 || p.x >= cr.right || p.y >= cr.bottom)
            return fail(L"point " + std::to_wstring(p.x) + L"," + std::to_wstring(p.y) + L" is outside the " +
                        std::to_wstring(cr.right) + L"x" + std::to_wstring(cr.bottom) + L" client area");
        const int cx = origin.x - wr.left + p.x;
        const int cy = origin.y - wr.top + p.y;
        const uint32_t c = cap.at(cx, cy);
        wchar_t hex[8];
        wsprintfW(hex, L"#%06x", c);
        Json px = Json::object()
                      .set("x", p.x)
                      .set("y", p.y)
                      .set("r", static_cast<int>((c >> 16) & 0xFF))
                      .set("g", static_cast<int>((c >> 8) & 0xFF))
                      .set("b", static_cast<int>(c & 0xFF))
                      .set("hex", hex);
        if (&p == &points.front())
            pixel0 = px;
        list.push(px);
    }
    // One point prints that point's object; several print {"pixels": [...]}.
    emit(points.size() == 1 ? pixel0 : Json::object().set("pixels", list));
    return 0;
}

int cmdKeys(const Options& o) {
    if (o.positional.size() < 2)
        return fail(
            L"usage: keys <class> <key> [<key> ...] [--pid N] [--timeout MS] [--pause MS]; keys such as "
            L"TAB, SHIFT+TAB, ENTER, ESC, SPACE, UP, F4, A, CTRL+A",
            2);
    // Every chord is checked before the first is sent: a typo must not leave half a sequence typed.
    std::vector<std::vector<INPUT>> chords(o.positional.size() - 1);
    Json sent = Json::array();
    for (size_t i = 1; i < o.positional.size(); ++i) {
        std::wstring error;
        if (!chordInputs(o.positional[i], chords[i - 1], error))
            return fail(error, 2);
        sent.push(o.positional[i]);
    }
    const WindowFilter f = filterFrom(o, o.positional[0]);
    HWND h = waitWindow(f, o.timeoutMs);
    if (!h)
        return fail(describe(f));
    if (!toForeground(h))
        return fail(L"cannot bring the window to the foreground");
    // The pause also follows the last key, so the target has had its turn before the caller looks.
    for (auto& chord : chords) {
        if (!sendInputs(chord))
            return fail(L"SendInput failed");
        Sleep(o.pauseMs);
    }
    emit(Json::object()
             .set("hwnd", reinterpret_cast<UINT_PTR>(h))
             .set("sent", sent)
             .set("foreground", GetForegroundWindow() == h));
    return 0;
}

// The focus is a property of the window's thread, so it can be read without the window taking part.
int cmdFocus(const Options& o) {
    if (o.positional.size() != 1)
        return fail(L"usage: focus <class> [--pid N] [--timeout MS]", 2);
    const WindowFilter f = filterFrom(o, o.positional[0]);
    HWND h = waitWindow(f, o.timeoutMs);
    if (!h)
        return fail(describe(f));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info))
        return fail(L"GetGUIThreadInfo failed");
    // A control's inner window (the edit field of a combo box) stands for the control the specs address.
    HWND control = info.hwndFocus;
    while (control && control != h && GetAncestor(control, GA_PARENT) != h)
        control = GetAncestor(control, GA_PARENT);
    Json focus;
    if (control && control != h) {
        const auto kids = directChildren(h);
        const size_t index = std::find(kids.begin(), kids.end(), control) - kids.begin();
        focus = childInfo(h, control, index);
    }
    emit(Json::object()
             .set("hwnd", reinterpret_cast<UINT_PTR>(h))
             .set("active", info.hwndActive == h)
             .set("focus_hwnd", info.hwndFocus ? Json(reinterpret_cast<UINT_PTR>(info.hwndFocus)) : Json())
             .set("focus", focus));
    return 0;
}

// ---------------------------------------------------------------------------------------------------------
// Accessibility.

// What accessibility clients (screen readers) are told about a control: the object its window hands out for
// OBJID_CLIENT, or the system's standard one when it hands out none.
int cmdAccessible(const Options& o) {
    if (o.positional.size() != 2)
        return fail(L"usage: accessible <class> <spec> [--pid N] [--timeout MS]", 2);
    Target t;
    if (int rc = findTarget(o, o.positional[0], o.positional[1], t))
        return rc;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(
        t.child, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object) {
        wchar_t code[16];
        wsprintfW(code, L"0x%08lx", static_cast<unsigned long>(found));
        return fail(std::wstring(L"AccessibleObjectFromWindow failed: ") + code);
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    auto text = [](HRESULT result, BSTR value) -> Json {
        Json out = SUCCEEDED(result) && value ? Json(std::wstring(value, SysStringLen(value))) : Json();
        SysFreeString(value);
        return out;
    };
    auto number = [](HRESULT result, VARIANT& value) -> Json {
        Json out = SUCCEEDED(result) && value.vt == VT_I4 ? Json(static_cast<long long>(value.lVal)) : Json();
        VariantClear(&value);
        return out;
    };
    BSTR name = nullptr, value = nullptr;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    const HRESULT named = object->get_accName(self, &name);
    const HRESULT valued = object->get_accValue(self, &value);
    const HRESULT roled = object->get_accRole(self, &role);
    const HRESULT stated = object->get_accState(self, &state);
    const Json roleNumber = number(roled, role);
    const Json stateBits = number(stated, state);
    HWND window = nullptr;
    const bool knowsWindow = SUCCEEDED(WindowFromAccessibleObject(object, &window));
    object->Release();
    emit(targetJson(t)
             .set("name", text(named, name))
             .set("value", text(valued, value))
             .set("role", roleNumber)
             .set("state", stateBits)
             .set("object_hwnd", knowsWindow ? Json(reinterpret_cast<UINT_PTR>(window)) : Json()));
    return 0;
}

int cmdWaitGone(const Options& o) {
    if (o.positional.size() != 1)
        return fail(L"usage: wait-gone <class> --timeout MS [--pid N]", 2);
    const WindowFilter f = filterFrom(o, o.positional[0]);
    const ULONGLONG start = GetTickCount64();
    const bool gone = pollUntil(o.timeoutMs, [&] { return matchingWindows(f).empty(); });
    const long long waited = static_cast<long long>(GetTickCount64() - start);
    if (!gone) {
        emit(Json::object()
                 .set("error", L"window of class '" + f.cls + L"' still exists")
                 .set("waited_ms", waited));
        return 1;
    }
    emit(Json::object().set("gone", true).set("waited_ms", waited));
    return 0;
}

int cmdWindows(const Options& o) {
    Json arr = Json::array();
    WindowFilter f = filterFrom(o, o.positional.empty() ? std::wstring() : o.positional[0]);
    for (HWND h : matchingWindows(f)) {
        if (!o.all && !IsWindowVisible(h))
            continue;
        RECT wr{};
        GetWindowRect(h, &wr);
        const DWORD pid = windowPid(h);
        arr.push(Json::object()
                     .set("hwnd", reinterpret_cast<UINT_PTR>(h))
                     .set("class", className(h))
                     .set("title", captionOf(h))
                     .set("pid", static_cast<unsigned long>(pid))
                     .set("exe", processImageName(pid))
                     .set("visible", IsWindowVisible(h) != FALSE)
                     .set("rect", rectJson(wr)));
    }
    emit(Json::object().set("windows", arr));
    return 0;
}

const wchar_t kUsage[] =
    L"usage: uidriver <command> ...; commands: find, children, child, click, check, select, close, msgbox, "
    L"screenshot, screenshot-msgbox, pixel, keys, focus, accessible, wait-gone, windows";

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Physical pixels everywhere, so window rectangles and screen captures agree on high-DPI Windows too.
    SetProcessDPIAware();
    if (argc < 2)
        return fail(kUsage, 2);
    Options o;
    std::wstring error;
    if (!parseOptions(argc, argv, o, error))
        return fail(error, 2);
    const std::wstring cmd = argv[1];
    if (cmd == L"find")
        return cmdFind(o);
    if (cmd == L"children")
        return cmdChildren(o);
    if (cmd == L"child")
        return cmdChild(o);
    if (cmd == L"click")
        return cmdClick(o);
    if (cmd == L"check")
        return cmdCheck(o);
    if (cmd == L"select")
        return cmdSelect(o);
    if (cmd == L"close")
        return cmdClose(o);
    if (cmd == L"msgbox")
        return cmdMsgBox(o);
    if (cmd == L"screenshot")
        return cmdScreenshot(o);
    if (cmd == L"screenshot-msgbox")
        return cmdScreenshotMsgBox(o);
    if (cmd == L"pixel")
        return cmdPixel(o);
    if (cmd == L"keys")
        return cmdKeys(o);
    if (cmd == L"focus")
        return cmdFocus(o);
    if (cmd == L"accessible")
        return cmdAccessible(o);
    if (cmd == L"wait-gone")
        return cmdWaitGone(o);
    if (cmd == L"windows")
        return cmdWindows(o);
    return fail(L"unknown command '" + cmd + L"'; " + kUsage, 2);
}
