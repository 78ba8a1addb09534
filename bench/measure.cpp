// Runs one command and reports what it cost: measure COMMAND [ARGUMENT...]
// prints "<seconds> <peak resident KiB>" for the command alone, whose own
// output is discarded. The command must exit with 0, or with N after
// "measure --status N COMMAND...". The command is started with posix_spawn, which runs
// it in this small process's memory until the exec, so the peak that the
// kernel keeps across the exec is this wrapper's at most; a Python or shell
// parent would lend the command its own far larger peak.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern char** environ;

int main(int argc, char* argv[]) {
  int expected_status = 0;
  if (argc > 2 && std::strcmp(argv[1], "--status") == 0) {
    expected_status = std::atoi(argv[2]);
    argc -= 2;
    argv += 2;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: measure [--status N] COMMAND [ARGUMENT...]\n");
    return 2;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

  timespec start{};
  timespec end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[1], &actions, nullptr, argv + 1, environ) != 0) {
    std::fprintf(stderr, "measure: couldn't start %s\n", argv[1]);
    return 2;
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) {
    std::fprintf(stderr, "measure: lost %s\n", argv[1]);
    return 2;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != expected_status) {
    std::fprintf(stderr, "measure: %s ended with status %d\n", argv[1], status);
    return 1;
  }
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                         static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
  std::printf("%.9f %ld\n", seconds, usage.ru_maxrss);
  return 0;
}
