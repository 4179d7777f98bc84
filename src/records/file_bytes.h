// Whole-file reads and writes through the C runtime, for the record files.
#pragma once

#include <string>
#include <string_view>

namespace tq {

// Reads the whole file (text mode translates line ends where the system has them). False when
// the file does not exist or cannot be opened.
bool readFileBytes(const char* path, std::string& out, bool text);
// Creates or truncates the file and writes the bytes. False when it cannot be written.
bool writeFileBytes(const char* path, std::string_view bytes, bool text);

}  // namespace tq
