// A shared library opened at run time and its symbols by name (dlopen). The
// program runs without the optional ones (OpenAL): a library that is not
// there is a result, never an error.
#pragma once

#include <string>

namespace platform {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary() { Close(); }
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // A bare name ("libopenal.so.1") is looked up the system's way; a path is
  // taken as it is. False when it cannot be loaded.
  bool Open(const std::string& name);
  bool is_open() const { return handle_ != nullptr; }
  // Null when the library has no such symbol.
  void* Symbol(const char* name) const;
  // The symbol as the function pointer `out` is; false when it is missing.
  template <typename F>
  bool Get(const char* name, F& out) const {
    out = reinterpret_cast<F>(Symbol(name));
    return out != nullptr;
  }
  void Close();
  // Forgets the handle and leaves the library mapped until the process
  // ends: for libraries whose own exit handlers and threads must outlive
  // our use of them (OpenAL Soft and the ALSA it loads).
  void Keep() { handle_ = nullptr; }

 private:
  void* handle_ = nullptr;
};

}  // namespace platform
