// Replays fuzz inputs without libFuzzer: runs the target's
// LLVMFuzzerTestOneInput on every file named on the command line and on every
// file in every directory named there (in name order). The normal test suite
// uses it to run the regression inputs and the seed corpora of each target.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

void collect(const std::string& path, std::vector<std::string>& files) {
  // A target without findings has no regression folder (git keeps no empty
  // folders): nothing to replay there.
  if (!exists(path)) return;
  if (!isDirectory(path)) {
    files.push_back(path);
    return;
  }
  DIR* d = ::opendir(path.c_str());
  if (!d) return;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || name[0] == '.') continue;
    names.push_back(path + "/" + name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  for (const std::string& n : names)
    if (!isDirectory(n)) files.push_back(n);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) collect(argv[i], files);
  if (files.empty()) {
    std::fprintf(stderr, "usage: %s FILE|DIR...  (no input found)\n", argv[0]);
    return 2;
  }
  for (const std::string& f : files) {
    std::ifstream in(f, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", f.c_str());
      return 2;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", f.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "%zu inputs replayed\n", files.size());
  return 0;
}
