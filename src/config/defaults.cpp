#include "config/defaults.h"

#include <string_view>

#include "platform/directories.h"

namespace tq {
namespace {

enum class Root { kNone, kWindows, kInstall, kTemporary, kSearchPath };

struct TextDefault {
  int number;
  Root root;
  const char* text;  // appended to the root
};

// clang-format off
constexpr TextDefault kTextDefaults[] = {
    {0, Root::kNone, "C:\\Program Files\\orl\\kerv"},
    {1, Root::kWindows, "\\tq.conf"},   {101, Root::kWindows, "\\tq.conf"},
    {301, Root::kWindows, "\\tq.conf"}, {401, Root::kWindows, "\\tq.conf"},
    {501, Root::kWindows, "\\tq.conf"}, {601, Root::kWindows, "\\tq.conf"},
    {19, Root::kWindows, "\\tqwrk.conf"},
    {37, Root::kWindows, "\\tqsslcert.pem"}, {124, Root::kWindows, "\\tqsslcert.pem"},
    {38, Root::kWindows, "\\tqsslkey.pem"},  {125, Root::kWindows, "\\tqsslkey.pem"},
    {111, Root::kWindows, "\\Temp"},
    {32, Root::kTemporary, ""}, {304, Root::kTemporary, ""}, {406, Root::kTemporary, ""},
    {112, Root::kSearchPath, ""}, {302, Root::kSearchPath, ""}, {402, Root::kSearchPath, ""},
    {8, Root::kInstall, "\\logs"},
    {9, Root::kInstall, "\\logs"},
    {12, Root::kInstall, "\\logs\\manifestlog"},
    {13, Root::kInstall, "\\logs\\supelog"},
    {26, Root::kInstall, "\\logs\\supelock"},
    {27, Root::kInstall, "\\logs\\superefresh"},
    {30, Root::kInstall, "\\logs\\supe5.jnl"},
    {35, Root::kInstall, "\\logs\\supervisorpid"},
    {47, Root::kInstall, "\\public"},
    {49, Root::kInstall, "\\html"},
    {102, Root::kInstall, "\\sbin\\proxy.exe"},
    {103, Root::kInstall, "\\logs\\worker5.jnl"},
    {114, Root::kInstall, "\\logs\\workerlog"},
    {122, Root::kInstall, "\\logs\\workerpid"},
    {403, Root::kInstall, "\\lib\\gui\\icons"},
    {404, Root::kInstall, "\\lib\\gui\\html"},
    {405, Root::kInstall, "\\docs"},
    {407, Root::kInstall, "\\lib\\gui\\pr"},
    {408, Root::kInstall, "\\lib\\wizard"},
    {605, Root::kInstall, "\\etc\\job.mail"},
    {606, Root::kInstall, "\\etc\\subjob.mail"},
    {607, Root::kInstall, "\\etc\\work.mail"},
    {609, Root::kInstall, "\\etc\\report.mail"},
    {3, Root::kNone, "/"},
    {7, Root::kNone, "passive"},
    {16, Root::kNone, "Internal"},
    {17, Root::kNone, "cluster"},
    {20, Root::kNone, "open"},
    {21, Root::kNone, "enabled"},
    {33, Root::kNone, "Internal"},
    {34, Root::kNone, "none"},
    {104, Root::kNone, "/"},
    {109, Root::kNone, "proxy"},
    {117, Root::kNone, "remote"},
    {121, Root::kNone, ""},
    {123, Root::kNone, "local,supervisor"},
    {129, Root::kNone, "kervproxy"},
    {130, Root::kNone, "\\"},
    {201, Root::kNone, "/src/api/perl/tq"},
    {503, Root::kNone, "localhost"},
    {505, Root::kNone, "root"},
    {506, Root::kNone, "mysql"},
};

struct NumberDefault {
  int number;
  int value;
};

constexpr NumberDefault kNumberDefaults[] = {
    {10, 50001}, {48, 44444}, {49, 50002}, {701, 50002}, {113, 50011}, {305, 8}, {306, 600000},
    {2, 9999}, {31, 9999}, {4, 32}, {5, 256}, {127, 256}, {6, 64}, {11, 127},
    {15, 600}, {43, 600}, {46, 600}, {22, 63}, {23, 360}, {24, 7174}, {25, 720},
    {29, 8}, {39, 8}, {126, 8}, {36, 1200}, {40, 86400}, {41, 16}, {42, 45},
    {44, 524288}, {50, 524288}, {131, 524288}, {52, 10}, {118, 10}, {53, 5242880},
    {105, 500}, {106, 512}, {110, 1800}, {116, 43200}, {119, 28}, {120, 120}, {128, 4},
    {132, 30}, {504, 3300}, {604, 25}, {610, 144},
};
// clang-format on

TqString& installDirectoryStorage() {
  static TqString directory;
  return directory;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The parent of `install` with one trailing '\'; "\" when there is no parent.
std::string parentWithSeparator(std::string_view install) {
  while (!install.empty() && isSeparator(install.back())) install.remove_suffix(1);
  size_t last = install.find_last_of("\\/");
  if (last == std::string_view::npos) return "\\";
  std::string_view parent = install.substr(0, last);
  while (!parent.empty() && isSeparator(parent.back())) parent.remove_suffix(1);
  return std::string(parent) + "\\";
}

// Every "C:\Program Files" becomes "C:\Program Files (x86)", except where it already is that.
std::string towardsX86(const std::string& path) {
  constexpr std::string_view kFrom = "C:\\Program Files";
  constexpr std::string_view kSuffix = " (x86)";
  std::string out;
  size_t from = 0;
  for (size_t hit; (hit = path.find(kFrom, from)) != std::string::npos;) {
    size_t end = hit + kFrom.size();
    out.append(path, from, end - from);
    if (path.compare(end, kSuffix.size(), kSuffix) != 0) out.append(kSuffix);
    from = end;
  }
  out.append(path, from, std::string::npos);
  return out;
}

}  // namespace

TqString jobTypeSearchPath(const TqString& install_directory) {
  std::string parent = parentWithSeparator(install_directory.view());
  TqString path(install_directory);
  path.append("\\types;");
  path.append(std::string_view(parent));
  path.append("jobtypes;");
  path.append(std::string_view(towardsX86(parent)));
  path.append("jobtypes");
  return path;
}

TqString defaultText(int number) {
  for (const TextDefault& entry : kTextDefaults) {
    if (entry.number != number) continue;
    TqString text;
    switch (entry.root) {
      case Root::kNone:
        break;
      case Root::kWindows:
        text.append(std::string_view(platform::windowsDirectory()));
        break;
      case Root::kTemporary:
        text.append(std::string_view(platform::temporaryDirectory()));
        break;
      case Root::kInstall:
        text.append(installDirectory());
        break;
      case Root::kSearchPath:
        return jobTypeSearchPath(installDirectory());
    }
    text.append(entry.text);
    return text;
  }
  return TqString();
}

int defaultNumber(int number) {
  for (const NumberDefault& entry : kNumberDefaults) {
    if (entry.number == number) return entry.value;
  }
  return 0;
}

void setInstallDirectory(const TqString& path) { installDirectoryStorage() = path; }

const TqString& installDirectory() { return installDirectoryStorage(); }

}  // namespace tq
