#include "platform/shared_library.h"

#include <dlfcn.h>  // Required for: dlopen(), dlsym(), dlclose()

namespace platform {

bool SharedLibrary::Open(const std::string& name) {
  Close();
  handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle_ != nullptr;
}

void* SharedLibrary::Symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

void SharedLibrary::Close() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace platform
