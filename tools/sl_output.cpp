#include "sl_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/kwoml.h"
#include "sl_graph.h"

namespace kwslay {

namespace {
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
}  // namespace

bool isStandardOutput(const std::string& path) { return path == "-" || path == "/dev/stdout"; }

void writeOutput(const std::string& path, const std::string& content) {
  if (isStandardOutput(path)) {
    // Written to the descriptor itself: /dev/stdout may lead to a file the
    // caller opened, which must be appended to, not replaced.
    std::fflush(stdout);
    int err = 0;
    if (!writeAll(STDOUT_FILENO, content.data(), content.size(), err))
      throw WriteError("cannot write standard output: " + std::string(std::strerror(err)));
    return;
  }
  KWFileError err;
  if (!kwWriteFileAtomically(path, content, err)) throw WriteError("cannot write " + err.text());
}

}  // namespace kwslay
