// A small reader of Windows executables (PE files) for the tests: the names a DLL exports and
// the raw bytes of a resource by type name and id. Every offset is checked against the file;
// a malformed file reads as not a PE file, with the reason.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tq::test {

class PeFile {
 public:
  // Reads the file; false, with the reason in `why`, when it is not a PE file.
  bool read(const std::string& path, std::string& why);

  std::vector<std::string> exportNames() const;
  // The bytes of the resource of a named type ("PiPL", in any case, as Windows finds it) and
  // numeric id, in its first language.
  std::optional<std::vector<uint8_t>> resource(const std::string& type, uint32_t id) const;

 private:
  struct Section {
    uint32_t rva, size, offset;
  };
  // The file offset of an RVA with `length` bytes behind it; none outside every section.
  std::optional<uint32_t> fileOffset(uint32_t rva, uint32_t length) const;
  bool has(uint32_t offset, uint32_t length) const;
  uint16_t u16(uint32_t offset) const;
  uint32_t u32(uint32_t offset) const;

  std::vector<uint8_t> bytes_;
  std::vector<Section> sections_;
  uint32_t export_rva_ = 0, export_size_ = 0;
  uint32_t resource_rva_ = 0, resource_size_ = 0;
};

}  // namespace tq::test
