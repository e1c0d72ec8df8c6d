#include "Json.h"

namespace uidriver {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// Writes raw UTF-8 bytes: the console code page must not get a chance to mangle non-ASCII text.
void Emit(const Json& value) {
    std::string out;
    value.Write(out);
    out += '\n';
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const char* next = out.data();
    size_t left = out.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(output, next, static_cast<DWORD>(left), &written, nullptr) || written == 0)
            break;
        next += written;
        left -= written;
    }
}

int Fail(const std::wstring& message, int code) {
    Emit(Json::Object().Set("error", message));
    return code;
}

void Json::Write(std::string& out) const {
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
        WriteString(out, ToUtf8(str_));
        break;
    case Kind::Arr:
        out += '[';
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i)
                out += ", ";
            items_[i].Write(out);
        }
        out += ']';
        break;
    case Kind::Obj:
        out += '{';
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i)
                out += ", ";
            WriteString(out, keys_[i]);
            out += ": ";
            items_[i].Write(out);
        }
        out += '}';
        break;
    }
}

void Json::WriteString(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
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

} // namespace uidriver
