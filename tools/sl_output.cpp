#include "sl_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sl_graph.h"

namespace kwslay {

namespace {
std::string describe(const std::string& path, const char* what, int err) {
  return "cannot write " + path + ": " + what + std::strerror(err);
}

bool writeAll(int fd, const char* data, size_t size, int& err) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The file a path finally names: a symbolic link is followed, so that the
// file it points to is replaced rather than the link.
std::string finalTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string r = real;
  std::free(real);
  return r;
}
}  // namespace

void writeOutput(const std::string& path, const std::string& content) {
  if (path == "-") {
    std::fflush(stdout);
    int err = 0;
    if (!writeAll(STDOUT_FILENO, content.data(), content.size(), err))
      throw WriteError(describe("standard output", "", err));
    return;
  }
  std::string target = finalTarget(path);
  size_t slash = target.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  // A new file beside the target; the umask applies as for any new file.
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = dir + "/." + base + ".kwslay-" + std::to_string(static_cast<long>(getpid())) + "-" + std::to_string(attempt);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw WriteError(describe(path, "", errno));

  // An existing file keeps its permissions.
  struct stat st;
  if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) (void)fchmod(fd, st.st_mode & 07777);

  int err = 0;
  bool ok = writeAll(fd, content.data(), content.size(), err);
  if (ok && fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    err = errno;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    err = errno;
    ok = false;
  }
  if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) {
    err = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    throw WriteError(describe(path, "", err));
  }
}

}  // namespace kwslay
