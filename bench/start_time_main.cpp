// Process start-up timed from outside: runs the commands in turn RUNS
// times (the first of a round rotating from run to run), each started with
// posix_spawn, input and output on /dev/null, and prints one line a run,
// in the commands' order:
//   "WALL_US CPU_US WALL_US CPU_US ..."
// (wall time from the spawn to the reaped exit; CPU time user + system of
// the child). A command that does not exit 0 ends the run with status 1.
//   vantor_start_time RUNS PROGRAM [ARG...] [-- PROGRAM [ARG...]]...
#include <fcntl.h>         // Required for: O_RDONLY, O_WRONLY
#include <spawn.h>         // Required for: posix_spawn()
#include <sys/resource.h>  // Required for: wait4()'s rusage
#include <sys/wait.h>
#include <time.h>          // Required for: clock_gettime()

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

struct Timing {
  long wall_us = 0;
  long cpu_us = 0;
};

long Micros(const timeval& t) { return long(t.tv_sec) * 1000000 + long(t.tv_usec); }

bool Run(char** argv, Timing& out) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  clock_gettime(CLOCK_MONOTONIC, &end);
  out.wall_us = (end.tv_sec - start.tv_sec) * 1000000 + (end.tv_nsec - start.tv_nsec) / 1000;
  out.cpu_us = Micros(usage.ru_utime) + Micros(usage.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 0;
  std::vector<std::vector<char*>> commands(1);
  for (int i = 2; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--") {
      commands.emplace_back();
    } else {
      commands.back().push_back(argv[i]);
    }
  }
  bool usable = runs > 0;
  for (auto& command : commands) {
    usable = usable && !command.empty();
    command.push_back(nullptr);
  }
  if (!usable) {
    std::fprintf(stderr, "usage: vantor_start_time RUNS PROGRAM [ARG...] [-- PROGRAM [ARG...]]...\n");
    return 2;
  }
  const size_t n = commands.size();
  std::vector<Timing> timings(n);
  for (int run = 0; run < runs; ++run) {
    for (size_t k = 0; k < n; ++k) {
      const size_t c = (size_t(run) + k) % n;
      if (!Run(commands[c].data(), timings[c])) {
        std::fprintf(stderr, "vantor_start_time: %s failed in run %d\n", commands[c][0], run + 1);
        return 1;
      }
    }
    for (size_t c = 0; c < n; ++c)
      std::printf("%ld %ld%c", timings[c].wall_us, timings[c].cpu_us, c + 1 < n ? ' ' : '\n');
  }
  return 0;
}
