#include "app/WindowState.h"

WindowState& State() {
    static WindowState state;
    return state;
}
