#include <dlfcn.h>

#include "platform/shared_library.h"

namespace tq::platform {

namespace {

std::string dlText() {
  const char* text = ::dlerror();
  return text != nullptr ? text : "unknown error";
}

}  // namespace

bool SharedLibrary::open(const std::string& path) {
  close();
  // Local binding: the library's own copy of what it links stays its own.
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) error_ = dlText();
  return handle_ != nullptr;
}

void* SharedLibrary::symbol(const char* name) {
  if (handle_ == nullptr) {
    error_ = "no library is loaded";
    return nullptr;
  }
  ::dlerror();
  void* address = ::dlsym(handle_, name);
  if (address == nullptr) error_ = dlText();
  return address;
}

void SharedLibrary::close() {
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace tq::platform
