// The layer order of the library: every folder under src/ stands on the ones below it and never
// reaches up, and no files include each other in a loop. The test reads every #include of src/.
//
//   plugin/     the host glue
//   client/     submission, job types, work protocol
//   transport/  errors, comms, frames, the supervisor exchange, the message server
//   job/ config/   one level: they may use each other
//   records/    strings, records, containers, text form
//   platform/   the operating system
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tq::test {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kLevels = {
    {"platform", 0},  {"records", 1}, {"job", 2},    {"config", 2},
    {"transport", 3}, {"client", 4},  {"plugin", 5},
};

// Every "folder/file" a source of src/ includes with quotes, by including file.
std::map<std::string, std::vector<std::string>> includesOfSources() {
  std::map<std::string, std::vector<std::string>> out;
  const fs::path root = fs::path(TQ_SOURCE_DIR) / "src";
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    std::string name = fs::relative(entry.path(), root).generic_string();
    std::vector<std::string>& included = out[name];
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      const std::string directive = "#include \"";
      if (line.compare(0, directive.size(), directive) != 0) continue;
      size_t end = line.find('"', directive.size());
      if (end != std::string::npos)
        included.push_back(line.substr(directive.size(), end - directive.size()));
    }
  }
  return out;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find('/')); }

TEST(Layers, NoIncludePointsUpward) {
  auto includes = includesOfSources();
  ASSERT_GT(includes.size(), 100u) << "the sources were not found under " TQ_SOURCE_DIR;
  for (const auto& [file, included] : includes) {
    auto from = kLevels.find(folderOf(file));
    ASSERT_NE(from, kLevels.end()) << file << " is in a folder without a layer";
    for (const std::string& target : included) {
      auto to = kLevels.find(folderOf(target));
      if (to == kLevels.end()) continue;  // a file of the same folder named without one
      EXPECT_LE(to->second, from->second) << file << " reaches up to " << target;
    }
  }
}

TEST(Layers, NoFilesIncludeEachOtherInALoop) {
  auto includes = includesOfSources();
  std::map<std::string, int> state;  // 1 on the current path, 2 done
  std::vector<std::string> path;
  std::function<void(const std::string&)> visit = [&](const std::string& file) {
    state[file] = 1;
    path.push_back(file);
    for (const std::string& next : includes[file]) {
      if (includes.count(next) == 0) continue;
      if (state[next] == 1) {
        std::string loop;
        for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it)
          loop += *it + " -> ";
        ADD_FAILURE() << "an include loop: " << loop << next;
      } else if (state[next] == 0) {
        visit(next);
      }
    }
    path.pop_back();
    state[file] = 2;
  };
  for (const auto& [file, included] : includes)
    if (state[file] == 0) visit(file);
}

}  // namespace
}  // namespace tq::test
