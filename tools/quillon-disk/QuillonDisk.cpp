// quillon-disk: the files of our BASIC's disks from the host.
//   quillon-disk list IMAGE
//   quillon-disk get IMAGE NAME [HOSTFILE]     (HOSTFILE "-": standard output)
//   quillon-disk put IMAGE HOSTFILE [NAME] [--kind memory|program|text|random]
//   quillon-disk delete IMAGE NAME
//   quillon-disk check IMAGE
//   quillon-disk reclaim IMAGE                 (frees clusters no file holds)
//   quillon-disk format IMAGE
// Text files come out with LF line ends (the BASIC writes CR); what goes in
// is stored as it is (LOAD takes CR, LF or both). get never replaces a host
// file that is there already, and neither side waits on a FIFO.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "QuillonFs.h"
#include "core/PlainFile.h"

namespace {

int Usage() {
  std::cerr << "usage: quillon-disk list IMAGE\n"
               "       quillon-disk get IMAGE NAME [HOSTFILE|-]\n"
               "       quillon-disk put IMAGE HOSTFILE [NAME] [--kind memory|program|text|random]\n"
               "       quillon-disk delete IMAGE NAME\n"
               "       quillon-disk check IMAGE\n"
               "       quillon-disk reclaim IMAGE\n"
               "       quillon-disk format IMAGE\n";
  return 2;
}

int Fail(const std::string& why) {
  std::cerr << "quillon-disk: " << why << "\n";
  return 1;
}

// The whole of a plain host file, at most limit bytes; empty on success,
// else the reason.
std::string ReadHostFile(const std::string& path, size_t limit, std::vector<uint8_t>& data) {
  int why = 0;
  const int fd = OpenPlainFile(path, O_RDONLY, &why);
  if (fd < 0) return path + ": " + OpenFailureText(why);
  uint8_t buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0 && data.size() <= limit)
    data.insert(data.end(), buffer, buffer + got);
  ::close(fd);
  if (got < 0) return path + ": cannot be read";
  if (data.size() > limit) return path + ": larger than a whole disk";
  return {};
}

// Writes data to a new host file; an existing name (a FIFO too) is refused.
std::string WriteNewHostFile(const std::string& path, const std::vector<uint8_t>& data) {
  int why = 0;
  const int fd = OpenPlainFile(path, O_WRONLY | O_CREAT | O_EXCL, &why, 0666);
  if (fd < 0)
    return path + (why == EEXIST ? ": is there already (give another name, or - for standard output)"
                                 : ": " + OpenFailureText(why));
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == data.size();
  if (::close(fd) != 0 || !written) {
    ::unlink(path.c_str());  // nothing half-written is left under the name
    return path + ": cannot be written";
  }
  return {};
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int kind = 2;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--kind") continue;
    if (i + 1 >= args.size()) return Usage();
    static const char* const names[] = {"memory", "program", "text", "random"};
    kind = -1;
    for (int k = 0; k < 4; ++k)
      if (args[i + 1] == names[k]) kind = k;
    if (kind < 0) return Usage();
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    break;
  }
  if (args.size() < 2) return Usage();
  const std::string& cmd = args[0];
  const bool writes = cmd == "put" || cmd == "delete" || cmd == "format" || cmd == "reclaim";
  TQfsImage image;
  if (std::string why = image.Open(args[1], writes); !why.empty()) return Fail(why);
  TQfsDisk& disk = image.Disk;
  if (cmd != "format" && !disk.Formatted()) return Fail(args[1] + ": not a disk of the BASIC's file system");

  if (cmd == "list" && args.size() == 2) {
    for (const TQfsFile& f : disk.Files()) {
      std::printf("%-12s %c %8u\n", f.Name.c_str(), "MPAR????"[f.Kind & 7], f.Size);
    }
    std::printf("%u bytes free\n", disk.FreeBytes());
    return 0;
  }
  if (cmd == "check" && args.size() == 2) {
    int leaked = 0;
    if (std::string why = disk.Check(&leaked); !why.empty()) return Fail(why);
    std::printf("%zu files, sound; %d clusters marked used without a file\n", disk.Files().size(), leaked);
    return 0;
  }
  if (cmd == "get" && (args.size() == 3 || args.size() == 4)) {
    std::vector<uint8_t> data;
    uint8_t k = 0;
    if (std::string why = disk.Read(args[2], data, &k); !why.empty()) return Fail(why);
    if (k == 2) {  // text: CR, CR LF -> LF
      std::vector<uint8_t> text;
      for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') continue;
        text.push_back(data[i] == '\r' ? '\n' : data[i]);
      }
      data.swap(text);
    }
    const std::string out = args.size() == 4 ? args[3] : args[2];
    if (out == "-") {
      std::cout.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
      return std::cout ? 0 : 1;
    }
    if (std::string why = WriteNewHostFile(out, data); !why.empty()) return Fail(why);
    return 0;
  }
  if (cmd == "put" && (args.size() == 3 || args.size() == 4)) {
    std::vector<uint8_t> data;
    if (std::string why = ReadHostFile(args[2], size_t{TQfsDisk::Sectors} * TQfsDisk::SectorBytes, data); !why.empty()) return Fail(why);
    const std::string name = args.size() == 4 ? args[3] : BaseName(args[2]);
    if (std::string why = disk.Write(name, static_cast<uint8_t>(kind), data); !why.empty()) return Fail(why);
  } else if (cmd == "delete" && args.size() == 3) {
    if (std::string why = disk.Remove(args[2]); !why.empty()) return Fail(why);
  } else if (cmd == "reclaim" && args.size() == 2) {
    int freed = 0;
    if (std::string why = disk.Reclaim(&freed); !why.empty()) return Fail(why);
    std::printf("%d clusters freed\n", freed);
  } else if (cmd == "format" && args.size() == 2) {
    disk.Format();
  } else {
    return Usage();
  }
  if (std::string why = image.Save(); !why.empty()) return Fail(why);
  return 0;
}
