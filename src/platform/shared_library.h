// Loading a shared library at run time and finding an exported function in it: dlopen here,
// LoadLibrary on Windows.
#pragma once

#include <string>

namespace tq::platform {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary() { close(); }
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // Loads the library at `path`; false, with the system's reason in error(), when it cannot.
  bool open(const std::string& path);
  // The address of the exported `name`, or null (with error() set).
  void* symbol(const char* name);
  void close();
  bool isOpen() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace tq::platform
