// An environment variable set (or, with nullopt, unset) for one test and
// put back as it was when the test's scope ends.
#pragma once

#include <cstdlib>  // Required for: getenv(), setenv(), unsetenv()
#include <optional>
#include <string>

namespace test_support {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Put(value);
  }
  ~ScopedEnv() { Put(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Put(const std::optional<std::string>& v) { v ? ::setenv(name_, v->c_str(), 1) : ::unsetenv(name_); }
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace test_support
