#pragma once

namespace kv5 {

// One whole run of the tool: parse the command line, load the save, do the
// selected mode and, for the modes that make a new save, move it onto the
// old one. Every outcome is reported on standard output; the result is the
// process's exit code, which is always 0.
int Run(int argc, const char* const argv[]);

}  // namespace kv5
