// The loopback server of the downloader tests (loopback_server.py beside
// this file), run for one test suite.
#pragma once

#include <fcntl.h>   // Required for: O_CLOEXEC
#include <signal.h>  // Required for: kill()
#include <spawn.h>   // Required for: posix_spawnp()
#include <sys/wait.h>
#include <unistd.h>  // Required for: pipe2(), close()

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/command.h"

extern char** environ;

// The server process; it also ends by itself once our end of its standard
// input closes (a test that crashes) or after two minutes.
class LoopbackServer {
 public:
  // `env`: "NAME=value" settings added to the server's environment.
  explicit LoopbackServer(std::vector<std::string> env = {}) {
    if (!test_support::HaveProgram("python3")) return;
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    char python[] = "python3", script[] = VANTOR_SOURCE_DIR "/tests/update/loopback_server.py", lifetime[] = "120";
    char* argv[] = {python, script, lifetime, nullptr};
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    envp.push_back(nullptr);
    if (::posix_spawnp(&pid_, "python3", &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    stdin_ = in[1];
    std::FILE* port_line = ::fdopen(out[0], "r");
    if (port_line && std::fscanf(port_line, "%d", &port_) != 1) port_ = 0;
    if (port_line) std::fclose(port_line);
  }
  ~LoopbackServer() {
    if (stdin_ >= 0) ::close(stdin_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool running() const { return port_ > 0; }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int port_ = 0;
};

