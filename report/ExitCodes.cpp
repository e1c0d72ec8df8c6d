#include "report/ExitCodes.h"

std::uint32_t ExitCodeFor(RunEnd end, bool silent) {
    if (!silent)
        return 0;
    switch (end) {
    case RunEnd::Success:
        return 0;
    case RunEnd::Cancelled:
        return 1602; // ERROR_INSTALL_USEREXIT
    case RunEnd::Failed:
        return 1603; // ERROR_INSTALL_FAILURE
    case RunEnd::AlreadyRunning:
        return 1618; // ERROR_INSTALL_ALREADY_RUNNING
    case RunEnd::NewerInstalled:
        return 1638; // ERROR_PRODUCT_VERSION
    case RunEnd::RestartNeeded:
        return 3010; // ERROR_SUCCESS_REBOOT_REQUIRED
    }
    return 1603;
}
