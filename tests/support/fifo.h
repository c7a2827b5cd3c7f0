// FIFOs in place of files, and a bounded call around the reader under test:
// opening a FIFO to read waits for a writer, and such a hang must fail the
// test instead of stalling the whole run until CTest's limit.
#pragma once

#include <fcntl.h>     // Required for: open(), O_NONBLOCK
#include <sys/stat.h>  // Required for: mkfifo()
#include <unistd.h>    // Required for: close()

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

inline bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

inline bool IsFifo(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Runs `call` on its own thread; true when it returned within `seconds`. When
// it did not, `fifos` are opened from the writing side until it returns (a
// blocked open then sees a writer come and go, and reads end), so the test
// reports the hang and goes on.
template <class Call>
bool ReturnsWithin(int seconds, const std::vector<std::string>& fifos, Call call) {
  std::packaged_task<void()> task(std::move(call));
  std::future<void> done = task.get_future();
  std::thread runner(std::move(task));
  bool in_time = done.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
  while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    for (const std::string& fifo : fifos) {
      int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
    }
  }
  runner.join();
  return in_time;
}

}  // namespace test_support
