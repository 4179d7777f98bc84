// A fresh temporary directory per test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace tq::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + separator + name.
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// The whole file, read in text mode (CR LF written on Windows reads back as LF); empty when it
// cannot be read.
std::string readTextFile(const std::string& path);

}  // namespace tq::test
