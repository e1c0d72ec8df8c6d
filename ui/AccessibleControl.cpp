#include "ui/AccessibleControl.h"

#include "common/UniqueHandle.h"
#include "platform/SystemLibrary.h"

#include <objbase.h>
#include <oleacc.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

namespace {

// oleacc is not among the libraries the installer imports: it is bound from
// the System folder when the first client asks, and kept.
struct OleaccFunctions {
    static constexpr const wchar_t* kLibrary = L"oleacc.dll";

    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;

    bool BindFrom(const SystemLibrary& library) {
        return library.Bind("CreateStdAccessibleObject", createStdAccessibleObject, "LresultFromObject",
                            lresultFromObject);
    }
};

// The object reaches its clients through COM, so the window's thread joins an
// apartment the first time one asks, and stays in it.
bool InComApartment() {
    static const bool joined = [] {
        const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    }();
    return joined;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The progress bar's position as a share of its range, as "45%".
std::wstring PositionText(HWND bar) {
    const auto position = static_cast<long long>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
    const auto low = static_cast<long long>(::SendMessageW(bar, PBM_GETRANGE, TRUE, 0));
    const auto high = static_cast<long long>(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    const long long percent = high > low ? (position - low) * 100 / (high - low) : 0;
    return std::to_wstring(percent) + L"%";
}

// The system's description of the control with the role, state and value of
// its kind; everything else is passed on unchanged.
class AccessibleControl final : public IAccessible, public IOleWindow {
  public:
    AccessibleControl(HWND control, AccessibleKind kind, ComPtr<IAccessible> standard)
        : control_(control), kind_(kind), standard_(std::move(standard)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IDispatch)) ||
            IsEqualIID(id, __uuidof(IAccessible)))
            *object = static_cast<IAccessible*>(this);
        else if (IsEqualIID(id, __uuidof(IOleWindow)))
            *object = static_cast<IOleWindow*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        // COM decides its lifetime: the last reference frees it.
        if (left == 0)
            std::unique_ptr<AccessibleControl> last(this);
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || !role)
            return standard_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = kind_ == AccessibleKind::Link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PROGRESSBAR;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT result = standard_->get_accState(child, state);
        if (!IsSelf(child) || FAILED(result) || !state || state->vt != VT_I4)
            return result;
        if (kind_ == AccessibleKind::ProgressBar) {
            state->lVal |= STATE_SYSTEM_READONLY;
            return S_OK;
        }
        state->lVal &= ~STATE_SYSTEM_READONLY;
        state->lVal |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
        if (::GetFocus() == control_)
            state->lVal |= STATE_SYSTEM_FOCUSED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!IsSelf(child) || !value || kind_ != AccessibleKind::ProgressBar)
            return standard_->get_accValue(child, value);
        const std::wstring text = PositionText(control_);
        *value = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *value ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // Passed on unchanged.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(member, id, locale, flags, params, result, exception, argument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG how, VARIANT child) override {
        return standard_->accSelect(how, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

  private:
    const HWND control_;
    const AccessibleKind kind_;
    const ComPtr<IAccessible> standard_;
    std::atomic<ULONG> references_{1};
};

LRESULT CALLBACK ProgressBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (const LRESULT object = AccessibleObjectFor(bar, AccessibleKind::ProgressBar, wParam))
            return object;
    }
    const auto classProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(bar, GCLP_WNDPROC));
    return ::CallWindowProcW(classProc, bar, message, wParam, lParam);
}

} // namespace

LRESULT AccessibleObjectFor(HWND control, AccessibleKind kind, WPARAM wParam) {
    const OleaccFunctions* oleacc = SystemFunctions<OleaccFunctions>();
    if (!oleacc || !InComApartment())
        return 0;
    ComPtr<IAccessible> standard;
    if (FAILED(oleacc->createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                 standard.put_void())) ||
        !standard)
        return 0;
    ComPtr<IAccessible> object;
    *object.put() = std::make_unique<AccessibleControl>(control, kind, std::move(standard)).release();
    const LRESULT result = oleacc->lresultFromObject(__uuidof(IAccessible), wParam, object.get());
    return FAILED(result) ? 0 : result;
}

void DescribeProgressBarPosition(HWND bar) {
    ::SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgressBarProc));
}
