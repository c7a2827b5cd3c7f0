// Runs a shell command for the tests that hand our files to real readers
// (Assimp, ImageMagick, Chromium through node).
#pragma once

#include <sys/wait.h>  // Required for: WIFEXITED()

#include <cstdio>  // Required for: popen()
#include <string>

namespace test_support {

// The command's standard output; its exit status in `status` (-1 when it
// did not run or did not exit).
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  if (status) *status = -1;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[1 << 16];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int rc = ::pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline bool HaveProgram(const std::string& name) {
  int status = 0;
  RunCommand("command -v " + name + " >/dev/null 2>&1", &status);
  return status == 0;
}

}  // namespace test_support
