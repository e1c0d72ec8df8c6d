#pragma once
// One owning wrapper for every kind of Win32 handle. Each kind names its close
// function and the value that means "no handle" (NULL for most, but
// INVALID_HANDLE_VALUE for files and find handles).
#include <windows.h>
#include <objbase.h>

#include <utility>

template <typename T, typename Traits> class UniqueHandle {
  public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    // Closes the current handle (if any) and takes ownership of the new one.
    void reset(T value = Traits::Invalid()) noexcept {
        if (value_ != Traits::Invalid())
            Traits::Close(value_);
        value_ = value;
    }
    T release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    // For out-parameters: frees what is held and hands out the slot.
    T* put() noexcept {
        reset();
        return &value_;
    }

  private:
    T value_ = Traits::Invalid();
};

namespace handle_traits {
// The kinds that NULL marks as absent and one system function closes.
template <typename T, auto CloseFunction> struct ClosedBy {
    static T Invalid() { return nullptr; }
    static void Close(T h) { CloseFunction(h); }
};
using Kernel = ClosedBy<HANDLE, ::CloseHandle>;
struct File {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct Find {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using RegKey = ClosedBy<HKEY, ::RegCloseKey>;
using Module = ClosedBy<HMODULE, ::FreeLibrary>;
using Local = ClosedBy<HLOCAL, ::LocalFree>;
using Global = ClosedBy<HGLOBAL, ::GlobalFree>;
using CoTaskMem = ClosedBy<void*, ::CoTaskMemFree>;
using Sid = ClosedBy<PSID, ::FreeSid>;
// Handles of libraries the installer binds at run time: each is closed
// through the library's own bound table, so Close is defined beside it
// (WinINet in net/, CNG in install/, resources in platform/, GDI+ in ui/;
// WinHTTP only in the tests' client).
struct Internet {
    static void* Invalid() { return nullptr; }
    static void Close(void* handle);
};
struct WinHttp {
    static void* Invalid() { return nullptr; }
    static void Close(void* handle);
};
struct CngAlgorithm {
    static void* Invalid() { return nullptr; }
    static void Close(void* handle);
};
struct CngHash {
    static void* Invalid() { return nullptr; }
    static void Close(void* handle);
};
struct LoadedResource {
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL loaded);
};
struct GdiPlusImage {
    static void* Invalid() { return nullptr; }
    static void Close(void* image);
};
struct GdiPlusGraphics {
    static void* Invalid() { return nullptr; }
    static void Close(void* graphics);
};
} // namespace handle_traits

using unique_handle = UniqueHandle<HANDLE, handle_traits::Kernel>;
using unique_hfile = UniqueHandle<HANDLE, handle_traits::File>;
using unique_hfind = UniqueHandle<HANDLE, handle_traits::Find>;
using unique_hkey = UniqueHandle<HKEY, handle_traits::RegKey>;
using unique_hmodule = UniqueHandle<HMODULE, handle_traits::Module>;
using unique_hlocal = UniqueHandle<HLOCAL, handle_traits::Local>;
using unique_hglobal = UniqueHandle<HGLOBAL, handle_traits::Global>;
using unique_cotaskmem = UniqueHandle<void*, handle_traits::CoTaskMem>;
using unique_sid = UniqueHandle<PSID, handle_traits::Sid>;
using unique_hinternet = UniqueHandle<void*, handle_traits::Internet>;
using unique_hhttp = UniqueHandle<void*, handle_traits::WinHttp>;
using unique_bcrypt_algorithm = UniqueHandle<void*, handle_traits::CngAlgorithm>;
using unique_bcrypt_hash = UniqueHandle<void*, handle_traits::CngHash>;
using unique_resource = UniqueHandle<HGLOBAL, handle_traits::LoadedResource>;
using unique_gdiplus_image = UniqueHandle<void*, handle_traits::GdiPlusImage>;
using unique_gdiplus_graphics = UniqueHandle<void*, handle_traits::GdiPlusGraphics>;

// A window's device context from GetDC, given back with ReleaseDC.
class unique_window_dc {
  public:
    explicit unique_window_dc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    ~unique_window_dc() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// A window's painting: BeginPaint's device context, ended with EndPaint.
class unique_paint {
  public:
    explicit unique_paint(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    unique_paint(const unique_paint&) = delete;
    unique_paint& operator=(const unique_paint&) = delete;
    // Every BeginPaint has its EndPaint, whatever it answered.
    ~unique_paint() { ::EndPaint(window_, &paint_); }
    HDC get() const noexcept { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Both handles of a started process, closed together.
struct unique_process_information {
    unique_handle process;
    unique_handle thread;
};

// COM interface pointer: Release on destruction.
template <typename I> class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }
    void reset() noexcept {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }
    I* get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    I** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  private:
    I* p_ = nullptr;
};
