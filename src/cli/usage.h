#pragma once

namespace kv5 {

// The tool's only help text.
void PrintUsage();

}  // namespace kv5
