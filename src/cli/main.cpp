#include <cstdio>
#include <new>

#include "cli/run.h"

int main(int argc, char* argv[]) {
  // Every failure the tool knows of is reported by Run itself; running out
  // of memory is the one thing left that could throw, and it must not end
  // the process abnormally either. The save on disk is never touched by a
  // run that stops here: the new save only takes its place once complete.
  try {
    return kv5::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::printf("Error: Out of memory.\n");
    return 1;
  }
}
