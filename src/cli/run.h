#pragma once

#include "save/reporter.h"

namespace kv5 {

// One whole run of the tool: parse the command line, load the save, do the
// selected mode and, for the modes that make a new save, move it onto the
// old one. Every outcome is reported to `out`. The result is the process's
// exit status: 0 when the run did its job without reporting a problem (the
// usage text alone included), 1 when it reported one or refused the save,
// 2 when the mode lacks arguments. The compare mode has diff's: 0 when the
// saves are alike, 1 when they differ, 2 when they could not be compared.
// A run keeps nothing: two runs in one process are two runs.
int Run(int argc, const char* const argv[], Reporter& out);

}  // namespace kv5
