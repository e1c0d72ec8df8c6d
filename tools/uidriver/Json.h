#pragma once
// The one line of JSON every verb prints, and the two ways a verb ends with it.
#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);

// A minimal JSON value: null, a boolean, an integer, a string, an array or an
// object whose keys keep their order.
class Json {
  public:
    enum class Kind { Null, Bool, Int, Str, Arr, Obj };

    Json() = default;
    Json(bool flag) : kind_(Kind::Bool), int_(flag ? 1 : 0) {}
    Json(int value) : kind_(Kind::Int), int_(value) {}
    Json(long value) : kind_(Kind::Int), int_(value) {}
    Json(long long value) : kind_(Kind::Int), int_(value) {}
    Json(unsigned value) : kind_(Kind::Int), int_(value) {}
    Json(unsigned long value) : kind_(Kind::Int), int_(static_cast<long long>(value)) {}
    Json(unsigned long long value) : kind_(Kind::Int), int_(static_cast<long long>(value)) {}
    Json(std::wstring text) : kind_(Kind::Str), str_(std::move(text)) {}
    Json(const wchar_t* text) : kind_(Kind::Str), str_(text) {}
    Json(const char* text) : kind_(Kind::Str), str_(FromUtf8(text)) {}

    static Json Array() {
        Json json;
        json.kind_ = Kind::Arr;
        return json;
    }
    static Json Object() {
        Json json;
        json.kind_ = Kind::Obj;
        return json;
    }

    Json& Push(Json value) {
        items_.push_back(std::move(value));
        return *this;
    }
    Json& Set(const char* key, Json value) {
        keys_.emplace_back(key);
        items_.push_back(std::move(value));
        return *this;
    }
    // Appends the value as JSON text, strings as UTF-8.
    void Write(std::string& out) const;

  private:
    static void WriteString(std::string& out, const std::string& text);

    Kind kind_ = Kind::Null;
    long long int_ = 0;
    std::wstring str_;
    std::vector<Json> items_;
    std::vector<std::string> keys_;
};

// Prints the value as one line of UTF-8 on stdout.
void Emit(const Json& value);
// Prints {"error": message} and returns the exit code: 1 for a failure, 2 for
// bad usage.
int Fail(const std::wstring& message, int code = 1);

} // namespace uidriver
