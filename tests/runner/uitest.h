// The runner's test objects for script tests (UITest: GUI objects by class name).
#pragma once

#include "engine/orovod.h"

void RegisterTestObjects(TROrovod& component);
