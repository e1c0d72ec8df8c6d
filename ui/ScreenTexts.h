#pragma once
// The composed texts of the installer window, in the current language of the
// process-wide catalogue, with the product's name (the profile's productName)
// and the window's versions.
#include "install/InstallState.h"
#include "ui/WindowInputs.h"

#include <string>

// The version the window names: the installed one in uninstall mode,
// otherwise the offered one.
std::wstring ShownVersion(const WindowInputs& inputs);

// "<product> version: <version>"; an empty version leaves it ending in ": ".
std::wstring VersionLineText(const std::wstring& product, const std::wstring& version);

// "Install Version: <the installer's own version>".
std::wstring InstallerVersionLineText();

// The body text of an opening screen.
std::wstring OpeningScreenBody(InstallerScreen screen, const std::wstring& product,
                               const WindowInputs& inputs);

// The finish messages.
std::wstring InstallFinishedMessage(const std::wstring& product, const ProductVersion& offered);
std::wstring UninstallFinishedMessage(const std::wstring& product);
std::wstring CancelledFinishedMessage();
