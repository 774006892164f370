// Disk and tape images named on the command line or dropped on the window.
// A name ending in ".VFD", ".D88" or ".D77" (any letter case), or any file
// with a D88 header, goes into drive 0 (the first disk of a D88 file); one
// ending in ".VTP" is opened as the tape. A later image of the same kind
// replaces an earlier one. Arguments beginning with "-" are options, not
// images.
// A name ending in ".QST" is a save state, which the program loads once it
// has started (not here).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

enum class TImageKind { None, Disk, Tape, State };

// By the file name's extension: the part from its last "." on, upper-cased;
// a file with another extension is a disk when its content is D88.
TImageKind ImageKindOf(const std::string& path);

// The disk commands that run instead of the machine: --new-disk FILE writes
// a blank disk (D88 when FILE is named .d88 or .d77, otherwise VFD) and
// never replaces a file; --convert IN OUT converts an image. Returns whether
// args hold one; exitCode is then 0 or 1, messages on out and err.
bool RunDiskCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    int& exitCode);

// The mount operations of the disk drives and the tape deck.
class TImageDrives {
 public:
  virtual ~TImageDrives() = default;
  virtual bool DiskMounted(int drive) const = 0;
  virtual void MountDisk(int drive, const std::string& path) = 0;
  virtual void UnmountDisk(int drive) = 0;
  virtual void UnmountAllDisks() = 0;
  virtual bool TapeMounted() const = 0;
  virtual void OpenTape(const std::string& path) = 0;
  virtual void CloseTape() = 0;
};

// The image names the window and its dialogs show.
struct TImageNames {
  std::string Drive0;
  std::string Drive1;  // set by the disk dialog and a loaded state
  std::string Tape;
};

// Mounts one image by its extension; other files are ignored. An image that
// cannot be opened leaves the drive or the tape empty, without a message.
void MountImage(const std::string& path, TImageDrives& drives, TImageNames& names);

// args are the program's arguments without the program name.
void MountCommandLine(const std::vector<std::string>& args, TImageDrives& drives, TImageNames& names);

// Files dropped on the window: only the first one counts.
void DropFiles(const std::vector<std::string>& paths, TImageDrives& drives, TImageNames& names);

// The last save state (".QST") among the arguments or dropped files, or "".
std::string StateFileAmong(const std::vector<std::string>& args);

// At shutdown, after the emulation thread has ended.
void CloseAllImages(TImageDrives& drives);
