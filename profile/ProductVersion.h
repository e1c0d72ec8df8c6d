#pragma once
#include <string>

// A version of the application, kept as the text it was read as. It is only
// interpreted when two versions are compared.
class ProductVersion {
  public:
    ProductVersion() = default;
    explicit ProductVersion(std::wstring text) : text_(std::move(text)) {}

    void Set(std::wstring text) { text_ = std::move(text); }
    std::wstring Get() const { return text_; }
    bool IsEmpty() const { return text_.empty(); }

    // -1, 0 or +1. Only identical texts compare equal; otherwise the dotted
    // components are compared numerically and, when all shared components are
    // equal, the text with at least as many components wins.
    int Compare(const ProductVersion& other) const;

  private:
    std::wstring text_;
};
