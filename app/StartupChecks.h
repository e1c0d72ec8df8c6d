#pragma once

// The checks between choosing the language and contacting the server. Returns
// only when start-up may go on; otherwise ends the process (exit code 0,
// 1603 in silent mode).
//
// languageRemembered is ChooseStartupLanguage's answer: false means the
// settings key could not be written. Then the rights check runs (and tells a
// user without administrative rights so); an administrator is told that the
// registry cannot be written. Either way the installer ends. With the language
// remembered only the rights check remains.
void CheckStartupRights(bool languageRemembered);
