// clang-format off
#include <windows.h>
#include <ntsecapi.h>
// clang-format on

#include <memory>

#include "platform/logon_domain.h"

namespace tq::platform {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

struct LsaBufferFreer {
  void operator()(SECURITY_LOGON_SESSION_DATA* data) const { LsaFreeReturnBuffer(data); }
};

std::string toAnsi(const LSA_UNICODE_STRING& text) {
  int wide_length = static_cast<int>(text.Length / sizeof(WCHAR));
  if (text.Buffer == nullptr || wide_length <= 0) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, text.Buffer, wide_length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.Buffer, wide_length, &out[0], size, nullptr, nullptr);
  return out;
}

}  // namespace

bool currentLogonDomain(LogonDomain& out) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  std::unique_ptr<void, HandleCloser> token(raw);

  TOKEN_STATISTICS statistics;
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenStatistics, &statistics, sizeof(statistics), &size)) {
    return false;
  }
  SECURITY_LOGON_SESSION_DATA* raw_data = nullptr;
  if (LsaGetLogonSessionData(&statistics.AuthenticationId, &raw_data) != 0 || raw_data == nullptr) {
    return false;
  }
  std::unique_ptr<SECURITY_LOGON_SESSION_DATA, LsaBufferFreer> data(raw_data);
  out.domain = toAnsi(data->LogonDomain);

  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD computer_size = sizeof(computer);
  if (GetComputerNameExA(ComputerNameNetBIOS, computer, &computer_size)) {
    computer[sizeof(computer) - 1] = '\0';
    out.computer = computer;
  } else {
    out.computer.clear();
  }
  return true;
}

}  // namespace tq::platform
