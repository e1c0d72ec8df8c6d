#include "i18n/UserLocale.h"

#include <windows.h>

std::wstring UserLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) == 0)
        return std::wstring();
    return name;
}
