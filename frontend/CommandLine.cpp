// Mounting images named on the command line or dropped on the window.
#include "CommandLine.h"

TImageKind ImageKindOf(const std::string& path) {
  // The extension belongs to the file name, not to a directory in the path.
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return TImageKind::None;
  std::string ext = path.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (ext == ".VFD") return TImageKind::Disk;
  if (ext == ".VTP") return TImageKind::Tape;
  return TImageKind::None;
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

void CloseAllImages(TImageDrives& drives) {
  drives.UnmountAllDisks();
  if (drives.TapeMounted()) drives.CloseTape();
}
