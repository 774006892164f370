// Opening plain files without blocking.
#include "PlainFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenPlainFile(const std::string& path, int flags, int* why, mode_t mode) {
  int dummy = 0;
  int& reason = why ? *why : dummy;
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A FIFO without a reader opened for writing, or a socket, says ENXIO.
    reason = errno == EISDIR || errno == ENXIO ? NotPlainFile : errno;
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    reason = NotPlainFile;
    ::close(fd);
    return -1;
  }
  // A plain file never blocks anyway; clear the flag so reads and writes
  // behave exactly as on a descriptor opened without it.
  const int fl = ::fcntl(fd, F_GETFL);
  if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  reason = 0;
  return fd;
}

std::string OpenFailureText(int why) {
  switch (why) {
    case NotPlainFile: return "not a plain file";
    case ENOENT: return "no such file";
    case EACCES:
    case EPERM: return "no permission";
    default: return std::strerror(why);
  }
}
