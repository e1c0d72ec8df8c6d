#pragma once
// The decision moved to the engine, which plans the run from it.
#include "install/InstallState.h"
