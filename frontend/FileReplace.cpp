// Whole-file replacement that keeps links, modes and read-only files.
#include "FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace fs = std::filesystem;

std::string ResolveWriteTarget(const fs::path& path, fs::path& target) {
  fs::path p = path;
  // As many links as the system itself follows in one path.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      target = p;
      return {};
    }
    std::error_code ec;
    const fs::path link = fs::read_symlink(p, ec);
    if (ec) return ec.message();
    p = link.is_absolute() ? link : p.parent_path() / link;
  }
  return std::strerror(ELOOP);
}

std::string CheckReplaceable(const fs::path& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) != 0) return errno == ENOENT ? std::string() : std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "not a plain file";
  // No write bit at all counts as read-only also for a user (root) whom the
  // system would let write anyway.
  if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return "the file is read-only";
  return {};
}

std::string ReplaceFile(const fs::path& path, std::string_view bytes) {
  bool given = false;
  return ReplaceFileInPieces(path, [&]() -> std::string_view {
    if (given) return {};
    given = true;
    // An empty file is one empty piece, which also ends the contents.
    return bytes;
  });
}

std::string ReplaceFileInPieces(const fs::path& path, const std::function<std::string_view()>& next) {
  fs::path file;
  if (std::string e = ResolveWriteTarget(path, file); !e.empty()) return e;
  if (std::string e = CheckReplaceable(file); !e.empty()) return e;
  mode_t mode = 0644;
  struct stat st;
  if (::stat(file.c_str(), &st) == 0) mode = st.st_mode & 07777;
  // A short temporary name: the file's own name may already be as long as
  // the file system allows.
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  std::string tmp = (folder / ".quillon-XXXXXX").string();
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return std::strerror(errno);
  int err = ::fchmod(fd, mode) == 0 ? 0 : errno;
  for (std::string_view bytes = next(); err == 0 && !bytes.empty(); bytes = next()) {
    size_t done = 0;
    while (err == 0 && done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) err = n < 0 ? errno : EIO;
      else done += static_cast<size_t>(n);
    }
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && std::rename(tmp.c_str(), file.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(tmp.c_str());
    return std::strerror(err);
  }
  return {};
}
