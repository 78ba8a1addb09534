#pragma once

#include "save/reporter.h"

namespace kv5 {

// The tool's only help text.
void PrintUsage(Reporter& out);

}  // namespace kv5
