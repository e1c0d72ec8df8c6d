#include "app/StartupChecks.h"

#include "app/Elevation.h"
#include "i18n/TranslationCatalog.h"
#include "ui/ProcessExit.h"
#include "ui/UserMessage.h"

void CheckStartupRights(bool languageRemembered) {
    if (!languageRemembered) {
        // Without rights the rights message says it all; with them, the
        // registry itself refused.
        if (IsRunningAsAdmin())
            ShowUserMessage([] {
                return UserMessageText{Catalog().Translate(L"registry_write_fail"),
                                       Catalog().Translate(L"IDS_TITLE_ERROR")};
            });
        EndProcess(RunEnd::Failed);
    }
    if (!IsRunningAsAdmin())
        EndProcess(RunEnd::Failed);
}
