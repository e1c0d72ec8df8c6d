#include "report/SilentMode.h"

#include <atomic>

namespace {
std::atomic<bool> silentMode{false};
} // namespace

void SetSilentMode(bool silent) {
    silentMode.store(silent);
}

bool SilentMode() {
    return silentMode.load();
}
