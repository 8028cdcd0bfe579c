// Reading whole files and replacing files atomically.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

#include "host/kwoml.h"

namespace {

std::string systemMessage(int code) { return std::error_code(code, std::generic_category()).message(); }

std::string directoryOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool writeAll(int fd, const char* p, std::size_t n, int& error) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

bool kwReadWholeFile(const std::string& path, std::string& bytes, long maxBytes, KWFileError& err) {
  err.clear();
  bytes.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return err.set(path, 0, 0, "cannot open the file: " + systemMessage(errno));
  struct stat st;
  if (::fstat(fd, &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      ::close(fd);
      return err.set(path, 0, 0, "cannot read the file: it is a directory");
    }
    if (S_ISREG(st.st_mode) && maxBytes >= 0 && st.st_size > maxBytes) {
      ::close(fd);
      return err.set(path, 0, 0, "file is larger than the limit of " + std::to_string(maxBytes) + " bytes");
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  }
  char buf[65536];
  while (true) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      bytes.clear();
      return err.set(path, 0, 0, "cannot read the file: " + systemMessage(e));
    }
    if (r == 0) break;
    if (maxBytes >= 0 && static_cast<long>(bytes.size()) + r > maxBytes) {
      ::close(fd);
      bytes.clear();
      return err.set(path, 0, 0, "file is larger than the limit of " + std::to_string(maxBytes) + " bytes");
    }
    bytes.append(buf, static_cast<std::size_t>(r));
  }
  ::close(fd);
  return true;
}

bool kwWriteFileAtomically(const std::string& path, const std::string& bytes, KWFileError& err) {
  err.clear();
  if (path.empty()) return err.set(path, 0, 0, "no file name given");
  struct stat target;
  bool exists = ::stat(path.c_str(), &target) == 0;
  if (exists && S_ISDIR(target.st_mode)) return err.set(path, 0, 0, "cannot write the file: it is a directory");

  // A fresh name next to the target, so that the rename stays within one file system.
  std::random_device rd;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
    unsigned long long nonce = (static_cast<unsigned long long>(rd()) << 32) ^ rd();
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(nonce);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0)
    return err.set(path, 0, 0, "cannot create a temporary file in " + directoryOf(path) + ": " + systemMessage(errno));
  if (exists) (void)::fchmod(fd, target.st_mode & 07777);

  int error = 0;
  bool ok = writeAll(fd, bytes.data(), bytes.size(), error);
  if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    error = errno;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return err.set(path, 0, 0, "cannot write the file: " + systemMessage(error) + " (the old file is unchanged)");
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return err.set(path, 0, 0, "cannot replace the file: " + systemMessage(e) + " (the old file is unchanged)");
  }
  // Make the rename itself durable; a failure here no longer endangers the data.
  int dfd = ::open(directoryOf(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
  return true;
}
