// The accessible verb, through the system's accessibility interface (oleacc).
#include "UiDriver.h"

#include <oleacc.h>

namespace uidriver {

// What accessibility clients (screen readers) are told about a control: the object its window hands out for
// OBJID_CLIENT, or the system's standard one when it hands out none.
int RunAccessible(const Options& options) {
    if (options.positional.size() != 2)
        return Fail(L"usage: accessible <class> <spec> [--pid N] [--timeout MS]", 2);
    Target target;
    if (int code = FindTarget(options, options.positional[0], options.positional[1], target))
        return code;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(target.child, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object) {
        wchar_t code[16];
        wsprintfW(code, L"0x%08lx", static_cast<unsigned long>(found));
        return Fail(std::wstring(L"AccessibleObjectFromWindow failed: ") + code);
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
    Emit(TargetJson(target)
             .Set("name", text(named, name))
             .Set("value", text(valued, value))
             .Set("role", roleNumber)
             .Set("state", stateBits)
             .Set("object_hwnd", knowsWindow ? Json(reinterpret_cast<UINT_PTR>(window)) : Json()));
    return 0;
}

} // namespace uidriver
