// Mounting images named on the command line or dropped on the window.
#include "CommandLine.h"

#include <ostream>

#include "DiskFormats.h"

TImageKind ImageKindOf(const std::string& path) {
  // The extension belongs to the file name, not to a directory in the path.
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return TImageKind::None;
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (ext == ".VFD" || ext == ".D88" || ext == ".D77") return TImageKind::Disk;
  if (ext == ".VTP") return TImageKind::Tape;
  if (ext == ".QST") return TImageKind::State;
  // D88 files come with many names; their header tells.
  return IsD88File(path) ? TImageKind::Disk : TImageKind::None;
}

bool RunDiskCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    int& exitCode) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (args[i] == "--new-disk") {
      if (i + 1 >= args.size()) {
        error = "--new-disk needs a file name";
      } else {
        const std::string& path = args[i + 1];
        const TDiskKind kind = NamedD88(path) ? TDiskKind::D88 : TDiskKind::Vfd;
        error = WriteNewDiskFile(path, kind, false);
        if (error.empty())
          out << "wrote a blank " << (kind == TDiskKind::D88 ? "D88" : "VFD") << " disk: " << path << "\n";
      }
    } else if (args[i] == "--convert") {
      if (i + 2 >= args.size()) {
        error = "--convert needs an input and an output file";
      } else {
        std::string note;
        error = ConvertDiskImage(args[i + 1], args[i + 2], note);
        if (!note.empty()) err << "quillon: " << note << "\n";
        if (error.empty()) out << "converted " << args[i + 1] << " to " << args[i + 2] << "\n";
      }
    } else {
      continue;
    }
    if (!error.empty()) err << "quillon: " << error << "\n";
    exitCode = error.empty() ? 0 : 1;
    return true;
  }
  return false;
}

void MountImage(const std::string& path, TImageDrives& drives, TImageNames& names) {
  switch (ImageKindOf(path)) {
    case TImageKind::Disk:
      if (drives.DiskMounted(0)) drives.UnmountDisk(0);
      names.Drive0 = path;
      drives.MountDisk(0, path);
      break;
    case TImageKind::Tape:
      drives.CloseTape();
      names.Tape = path;
      drives.OpenTape(path);
      break;
    case TImageKind::None:
    case TImageKind::State:
      break;
  }
}

void MountCommandLine(const std::vector<std::string>& args, TImageDrives& drives, TImageNames& names) {
  for (const std::string& a : args)
    if (!a.empty() && a.front() != '-') MountImage(a, drives, names);
}

void DropFiles(const std::vector<std::string>& paths, TImageDrives& drives, TImageNames& names) {
  // The whole path is used, however long: a path cut short would name a
  // different file.
  if (!paths.empty()) MountImage(paths.front(), drives, names);
}

std::string StateFileAmong(const std::vector<std::string>& args) {
  std::string found;
  for (const std::string& a : args)
    if (!a.empty() && a.front() != '-' && ImageKindOf(a) == TImageKind::State) found = a;
  return found;
}

void CloseAllImages(TImageDrives& drives) {
  drives.UnmountAllDisks();
  if (drives.TapeMounted()) drives.CloseTape();
}
