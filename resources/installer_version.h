#pragma once
// The installer's own version: the resource script's version resource and the
// window's version line both read it from here.
#define INSTALLER_VERSION_NUMBERS 5, 0, 2, 1
#define INSTALLER_VERSION_TEXT "5.0.2.1"
