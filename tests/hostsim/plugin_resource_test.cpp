// The plug-in resource (PiPL) of the built .aex, read back out of the file's resource
// directory: the bytes the host reads to list the plug-in and find its entry point. Only the
// Windows build has one; elsewhere the plug-in is a shared object and the test is skipped.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "records/version.h"
#include "support/pe_file.h"

namespace tq::test {
namespace {

struct Property {
  std::string vendor, key;
  uint32_t id = 0, length = 0;
  std::vector<uint8_t> data;
};

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

// The properties after the 10-byte header; false when one runs past the end.
bool properties(const std::vector<uint8_t>& b, std::vector<Property>& out) {
  for (size_t at = 10; at < b.size();) {
    if (b.size() - at < 16) return false;
    Property p;
    p.vendor.assign(b.begin() + at, b.begin() + at + 4);
    p.key.assign(b.begin() + at + 4, b.begin() + at + 8);
    p.id = le32(b, at + 8);
    p.length = le32(b, at + 12);
    at += 16;
    if (p.length > b.size() - at) return false;
    p.data.assign(b.begin() + at, b.begin() + at + p.length);
    at += p.length;
    out.push_back(p);
  }
  return true;
}

std::string pascal(const std::vector<uint8_t>& data) {
  return data.empty() || data[0] + 1u > data.size()
             ? std::string("(bad)")
             : std::string(data.begin() + 1, data.begin() + 1 + data[0]);
}

std::string hexLines(const std::vector<uint8_t>& bytes) {
  std::string out;
  char hex[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    out += hex;
    out += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
  }
  return out;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PluginResource, PiplDeclaresTheGeneralPluginAndItsExportedEntryPoint) {
  PeFile file;
  std::string why;
  if (!file.read(TQ_PLUGIN_PATH, why)) GTEST_SKIP() << "not a Windows DLL here: " << why;
  std::vector<std::string> exports = file.exportNames();
  ASSERT_EQ(exports, std::vector<std::string>{"GPMain_tq"});
  auto pipl = file.resource("PIPL", 16000);
  ASSERT_TRUE(pipl.has_value()) << "no resource of type PiPL and id 16000";
  const std::vector<uint8_t>& b = *pipl;
  ASSERT_GE(b.size(), 10u);
  EXPECT_EQ(b[0] | b[1] << 8, 1) << "the leading word";
  EXPECT_EQ(le32(b, 2), 0u) << "properties version";
  std::vector<Property> props;
  ASSERT_TRUE(properties(b, props)) << "a property runs past the resource";
  ASSERT_EQ(le32(b, 6), props.size());
  ASSERT_EQ(props.size(), 5u);
  const bool wide = sizeof(void*) == 8;
  const char* keys[] = {"dnik", "eman", "gtac", "srev", wide ? "4668" : "68xw"};
  for (size_t i = 0; i < props.size(); ++i) {
    EXPECT_EQ(props[i].vendor, "MIB8") << i;
    EXPECT_EQ(props[i].key, keys[i]) << i;
    EXPECT_EQ(props[i].id, 0u) << i;
    EXPECT_EQ(props[i].length % 4, 0u) << "lengths count the padding: " << props[i].key;
  }
  EXPECT_EQ(std::string(props[0].data.begin(), props[0].data.end()), "xgEA") << "kind AEgx";
  EXPECT_EQ(pascal(props[1].data), "Kerv! Render");
  EXPECT_EQ(pascal(props[2].data), "General Plugin");
  ASSERT_EQ(props[3].data.size(), 4u);
  uint32_t version = le32(props[3].data, 0);
  EXPECT_EQ(std::to_string(version >> 16) + "." + std::to_string(version & 0xffff),
            kVersionNumberText);
  // The code string is a C string naming exactly the DLL's export, zero-padded.
  const std::vector<uint8_t>& code = props[4].data;
  std::string entry(reinterpret_cast<const char*>(code.data()));
  EXPECT_EQ(entry, exports[0]);
  for (size_t i = entry.size(); i < code.size(); ++i) EXPECT_EQ(code[i], 0) << i;
  // The whole resource, byte for byte.
  std::string golden = readFile(std::string(TQ_TEST_SOURCE_DIR "/hostsim/golden/") +
                                (wide ? "pipl_win64.txt" : "pipl_win32.txt"));
  EXPECT_EQ(hexLines(b), golden);
}

}  // namespace
}  // namespace tq::test
