#pragma once

// A whole run: the database made when it is missing, the workstation
// processes started and waited for, the faults the options ask for, the
// figures and the end checks. The exit code is 0 only when every invariant
// held.

#include "LoadOptions.h"

namespace zomi::load {

int RunLoad(LoadOptions options);

}  // namespace zomi::load
