// Reading whole files and replacing files atomically.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <istream>
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

bool kwReadWholeStream(std::istream& in, const std::string& name, std::string& bytes, long maxBytes,
                       KWFileError& err) {
  err.clear();
  bytes.clear();
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    if (maxBytes >= 0 && static_cast<long>(bytes.size()) + in.gcount() > maxBytes) {
      bytes.clear();
      return err.set(name, 0, 0, "file is larger than the limit of " + std::to_string(maxBytes) + " bytes");
    }
    bytes.append(buf, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    bytes.clear();
    return err.set(name, 0, 0, "cannot read the input");
  }
  return true;
}

namespace {

// The file a path finally names: symbolic links are followed one by one
// (a dangling one names the file it would point to), so that the file behind
// a link is replaced and the link stays.
bool finalTarget(const std::string& path, std::string& target, int& error) {
  target = path;
  for (int hops = 0;; ++hops) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    if (hops == 40) {
      error = ELOOP;
      return false;
    }
    char buf[4096];
    ssize_t n = ::readlink(target.c_str(), buf, sizeof buf - 1);
    if (n < 0) {
      error = errno;
      return false;
    }
    std::string link(buf, static_cast<std::size_t>(n));
    target = link[0] == '/' ? link : directoryOf(target) + "/" + link;
  }
}

const char* kindOf(mode_t mode) {
  if (S_ISCHR(mode)) return "character device";
  if (S_ISBLK(mode)) return "block device";
  if (S_ISFIFO(mode)) return "named pipe";
  if (S_ISSOCK(mode)) return "socket";
  return "special file";
}

// A device, a named pipe or a socket cannot be replaced by a file without
// destroying it: it is opened (a socket connected to) and written in place.
bool writeInPlace(const std::string& path, mode_t mode, const std::string& bytes, KWFileError& err) {
  int fd = -1;
  if (S_ISSOCK(mode)) {
    struct sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
      return err.set(path, 0, 0, "cannot write to the socket: its name is too long");
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const struct sockaddr*>(&addr), sizeof addr) != 0) {
      int e = errno;
      ::close(fd);
      return err.set(path, 0, 0, "cannot connect to the socket: " + systemMessage(e));
    }
  } else {
    fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  }
  if (fd < 0) return err.set(path, 0, 0, std::string("cannot open the ") + kindOf(mode) + ": " + systemMessage(errno));
  int error = 0;
  bool ok = writeAll(fd, bytes.data(), bytes.size(), error);
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  if (!ok) return err.set(path, 0, 0, std::string("cannot write to the ") + kindOf(mode) + ": " + systemMessage(error));
  return true;
}

}  // namespace

bool kwWriteFileAtomically(const std::string& named, const std::string& bytes, KWFileError& err) {
  err.clear();
  if (named.empty()) return err.set(named, 0, 0, "no file name given");
  std::string path;
  int linkError = 0;
  if (!finalTarget(named, path, linkError))
    return err.set(named, 0, 0, "cannot follow the link: " + systemMessage(linkError));
  struct stat target;
  bool exists = ::stat(path.c_str(), &target) == 0;
  if (exists && S_ISDIR(target.st_mode)) return err.set(named, 0, 0, "cannot write the file: it is a directory");
  if (exists && !S_ISREG(target.st_mode)) {
    bool ok = writeInPlace(path, target.st_mode, bytes, err);
    if (!ok) err.file = named;
    return ok;
  }

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
    return err.set(named, 0, 0, "cannot create a temporary file in " + directoryOf(path) + ": " + systemMessage(errno));
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
    return err.set(named, 0, 0, "cannot write the file: " + systemMessage(error) + " (the old file is unchanged)");
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return err.set(named, 0, 0, "cannot replace the file: " + systemMessage(e) + " (the old file is unchanged)");
  }
  // Make the rename itself durable; a failure here no longer endangers the data.
  int dfd = ::open(directoryOf(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
  return true;
}
