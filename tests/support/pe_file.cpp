#include "support/pe_file.h"

#include <fstream>
#include <iterator>

namespace tq::test {

namespace {

// Windows finds resources by name without regard to case (resource compilers store names in
// capitals).
uint16_t upper(uint16_t c) { return c >= 'a' && c <= 'z' ? static_cast<uint16_t>(c - 32) : c; }

}  // namespace

bool PeFile::has(uint32_t offset, uint32_t length) const {
  return offset <= bytes_.size() && length <= bytes_.size() - offset;
}

uint16_t PeFile::u16(uint32_t offset) const {
  return has(offset, 2) ? static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8) : 0;
}

uint32_t PeFile::u32(uint32_t offset) const {
  return has(offset, 4) ? static_cast<uint32_t>(u16(offset) | uint32_t{u16(offset + 2)} << 16) : 0;
}

bool PeFile::read(const std::string& path, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = "cannot open " + path;
    return false;
  }
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!has(0, 64) || bytes_[0] != 'M' || bytes_[1] != 'Z') {
    why = "no MZ header";
    return false;
  }
  uint32_t pe = u32(0x3c);
  if (!has(pe, 24) || u32(pe) != 0x00004550) {
    why = "no PE signature";
    return false;
  }
  uint16_t section_count = u16(pe + 6);
  uint16_t optional_size = u16(pe + 20);
  uint32_t optional = pe + 24;
  uint16_t magic = u16(optional);
  // The data directories: after 96 bytes in a 32-bit image, 112 in a 64-bit one.
  uint32_t directories = optional + (magic == 0x20b ? 112 : 96);
  uint32_t directory_count = u32(directories - 4);
  if ((magic != 0x10b && magic != 0x20b) || !has(optional, optional_size) || directory_count < 3 ||
      !has(directories, 3 * 8)) {
    why = "no optional header with data directories";
    return false;
  }
  export_rva_ = u32(directories);
  export_size_ = u32(directories + 4);
  resource_rva_ = u32(directories + 16);
  resource_size_ = u32(directories + 20);
  uint32_t table = optional + optional_size;
  if (!has(table, section_count * 40u)) {
    why = "section table past the end of the file";
    return false;
  }
  for (uint32_t s = 0; s < section_count; ++s) {
    uint32_t at = table + s * 40;
    sections_.push_back({u32(at + 12), u32(at + 16), u32(at + 20)});
  }
  return true;
}

std::optional<uint32_t> PeFile::fileOffset(uint32_t rva, uint32_t length) const {
  for (const Section& s : sections_) {
    if (rva < s.rva || rva - s.rva > s.size || length > s.size - (rva - s.rva)) continue;
    uint32_t offset = s.offset + (rva - s.rva);
    if (has(offset, length)) return offset;
  }
  return std::nullopt;
}

std::vector<std::string> PeFile::exportNames() const {
  std::vector<std::string> names;
  auto directory = fileOffset(export_rva_, 40);
  if (export_size_ == 0 || !directory) return names;
  uint32_t count = u32(*directory + 24);
  auto name_table = fileOffset(u32(*directory + 32), count * 4);
  if (!name_table) return names;
  for (uint32_t i = 0; i < count; ++i) {
    auto name = fileOffset(u32(*name_table + i * 4), 1);
    if (!name) continue;
    std::string text;
    for (uint32_t at = *name; has(at, 1) && bytes_[at] != 0; ++at) text += char(bytes_[at]);
    names.push_back(text);
  }
  return names;
}

std::optional<std::vector<uint8_t>> PeFile::resource(const std::string& type, uint32_t id) const {
  auto root = fileOffset(resource_rva_, 16);
  if (resource_size_ == 0 || !root) return std::nullopt;
  // An entry of a resource directory: a name (high bit: an offset to a counted UTF-16 string)
  // or an id, and the offset of its subdirectory (high bit) or data entry, both relative to
  // the resource section's start.
  auto find = [&](uint32_t dir, const std::string* name, uint32_t number,
                  bool want_directory) -> std::optional<uint32_t> {
    uint32_t count = uint32_t{u16(dir + 12)} + u16(dir + 14);
    if (!has(dir + 16, count * 8)) return std::nullopt;
    for (uint32_t e = 0; e < count; ++e) {
      uint32_t key = u32(dir + 16 + e * 8), target = u32(dir + 16 + e * 8 + 4);
      bool matches = false;
      if (name != nullptr && (key & 0x80000000u) != 0) {
        uint32_t at = *root + (key & 0x7fffffffu);
        uint16_t length = u16(at);
        if (length == name->size() && has(at + 2, length * 2u)) {
          matches = true;
          for (uint16_t c = 0; c < length; ++c)
            matches = matches && upper(u16(at + 2 + c * 2u)) == upper(uint8_t((*name)[c]));
        }
      } else if (name == nullptr) {
        matches = (key & 0x80000000u) == 0 && (number == 0xffffffffu || key == number);
      }
      if (matches && ((target & 0x80000000u) != 0) == want_directory)
        return *root + (target & 0x7fffffffu);
    }
    return std::nullopt;
  };
  auto types = find(*root, &type, 0, true);
  auto ids = types ? find(*types, nullptr, id, true) : std::nullopt;
  auto data = ids ? find(*ids, nullptr, 0xffffffffu, false) : std::nullopt;  // any language
  if (!data || !has(*data, 16)) return std::nullopt;
  auto bytes = fileOffset(u32(*data), u32(*data + 4));
  if (!bytes) return std::nullopt;
  return std::vector<uint8_t>(bytes_.begin() + *bytes, bytes_.begin() + *bytes + u32(*data + 4));
}

}  // namespace tq::test
