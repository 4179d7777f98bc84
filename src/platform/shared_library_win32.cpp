#include <windows.h>

#include "platform/shared_library.h"

namespace tq::platform {

namespace {

std::string systemText(DWORD code) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ')) --n;
  if (n == 0) return "error " + std::to_string(code);
  return std::string(text, n);
}

}  // namespace

bool SharedLibrary::open(const std::string& path) {
  close();
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) error_ = systemText(GetLastError());
  handle_ = reinterpret_cast<void*>(module);
  return handle_ != nullptr;
}

void* SharedLibrary::symbol(const char* name) {
  if (handle_ == nullptr) {
    error_ = "no library is loaded";
    return nullptr;
  }
  FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(handle_), name);
  if (address == nullptr) error_ = systemText(GetLastError());
  return reinterpret_cast<void*>(address);
}

void SharedLibrary::close() {
  if (handle_ != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace tq::platform
