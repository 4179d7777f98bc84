#include "support/client_environment.h"

#include <ctime>
#include <fstream>

#include "platform/file_system.h"
#include "platform/socket.h"

namespace tq::test {

ClientEnvironment::ClientEnvironment()
    : windows_("TQWINDIR", dir.path()),
      temporary_("TQTEMPDIR", dir.path()),
      home_("HOME", dir.path()),
      broadcast_(platform::kBroadcastVariable, "127.0.0.1"),
      sleep_([this](int32_t ms) { sleeps.push_back(ms); }),
      random_([this] { return random_value; }) {
  writeConfig("");
}

void ClientEnvironment::writeConfig(const std::string& text) {
  {
    std::ofstream out(configPath(), std::ios::binary | std::ios::trunc);
    out << text;
  }
  // tq.conf is normally older than any supervisor cache written after it.
  platform::setModificationTime(configPath(), std::time(nullptr) - 3600);
}

}  // namespace tq::test
