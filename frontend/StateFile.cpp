// Save states of a whole computer: the front end's sections around the
// machine's, and the two-pass load. See StateFile.h.
#include "StateFile.h"

#include <sys/stat.h>

namespace {

constexpr uint32_t TagKeyboard = StateTag("KEYB");
constexpr uint32_t TagTimer = StateTag("TIMR");
constexpr uint32_t TagDrives = StateTag("DRIV");
constexpr uint32_t TagFront = StateTag("FRNT");

constexpr size_t MaxPath = 4096;

// An image by reference: where it was, how big, whether protected; for the
// tape also where it stood and which way it went last.
struct TImageRef {
  std::string Path;
  uint64_t Size = 0;
  bool Protect = false;
  uint64_t Position = 0;  // the tape's
  bool Writing = false;   // the tape's
  uint32_t Kind = 0;      // a disk's TDiskKind
  uint32_t Disk = 0;      // which disk of a multi-disk file
};

struct TDriveRefs {
  TImageRef Disk[TVfd::Drives];
  TImageRef Tape;
};

uint64_t FileSize(const std::string& path, bool& exists) {
  struct stat st;
  exists = !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  return exists ? static_cast<uint64_t>(st.st_size) : 0;
}

// Recorded with an absolute path, so a state loads from any directory.
std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::filesystem::path a = std::filesystem::absolute(path, ec);
  return ec ? path : a.lexically_normal().string();
}

TDriveRefs CurrentRefs(TComputer& c) {
  TDriveRefs refs;
  bool exists = false;
  for (int d = 0; d < TVfd::Drives; ++d) {
    TImageRef& r = refs.Disk[d];
    if (!c.State.Vfd.DiskMounted[d].load()) continue;
    const TDriveImage image = c.State.Vfd.Image(d);
    r.Path = Absolute(image.Path);
    r.Kind = static_cast<uint32_t>(image.Kind);
    r.Disk = static_cast<uint32_t>(image.Disk);
    r.Size = FileSize(r.Path, exists);
    r.Protect = c.State.Vfd.DiskWriteProtect[d].load() != 0;
  }
  TVtp& tape = c.State.Vtp;
  if (tape.TapeMounted.load()) {
    refs.Tape.Path = Absolute(tape.ImagePath());
    refs.Tape.Size = FileSize(refs.Tape.Path, exists);
    refs.Tape.Protect = tape.TapeWriteProtect.load() != 0;
    refs.Tape.Position = static_cast<uint64_t>(tape.TapePosition());
    refs.Tape.Writing = tape.TapeWriting != 0;
  }
  return refs;
}

void SaveRef(TStateWriter& w, const TImageRef& r) {
  w.Str(r.Path);
  w.U64(r.Size);
  w.Bool(r.Protect);
  w.U64(r.Position);
  w.Bool(r.Writing);
  w.U32(r.Kind);
  w.U32(r.Disk);
}

void LoadRef(TStateReader& r, TImageRef& ref) {
  ref.Path = r.Str(MaxPath);
  ref.Size = r.U64();
  ref.Protect = r.Bool();
  ref.Position = r.U64();
  ref.Writing = r.Bool();
  ref.Kind = r.U32In(0, 255);
  ref.Disk = r.U32In(0, 65535);
  r.Check(ref.Position < (uint64_t{1} << 62));  // a file position
}

// The keyboard and the schedules of the first reading pass: joined to a
// machine port that goes nowhere.
class TNullPort : public TMachinePort {
 public:
  void StoreKeyData(uint16_t) override {}
  bool KeyIrqEnabled() const override { return false; }
  bool TimerIrqEnabled() const override { return false; }
  void SetMcpuRequest(uint32_t) override {}
  void ClearMcpuRequest(uint32_t) override {}
  void SetScpuRequest(uint32_t) override {}
  bool KeyUnread() const override { return false; }
};

class TNullWindow : public TTimerWindow {
 public:
  bool PasteInProgress() const override { return false; }
  void PostFlip() override {}
  void PostPasteChar() override {}
};

struct TFrontParts {
  TKeyboard& Keyboard;
  TTimerSchedule& Timer;
  TDriveRefs& Drives;
  TFrontState& Front;
};

bool LoadFrontParts(const TStateSections& sections, const TFrontParts& p, uint32_t nowMs) {
  bool ok = true;
  auto section = [&](uint32_t tag, auto&& read) { ok = sections.ReadSection(tag, read) && ok; };
  section(TagKeyboard, [&](TStateReader& r) { p.Keyboard.LoadState(r); });
  section(TagTimer, [&](TStateReader& r) { p.Timer.LoadState(r, nowMs); });
  section(TagDrives, [&](TStateReader& r) {
    for (TImageRef& d : p.Drives.Disk) LoadRef(r, d);
    LoadRef(r, p.Drives.Tape);
  });
  section(TagFront, [&](TStateReader& r) {
    p.Front.InsLamp = static_cast<int>(r.U32In(0, 1));
    p.Front.TickDueMs = r.U32In(0, 1000);
  });
  return ok;
}

// Puts the recorded images back: the same file, with the same size, or the
// drive stays empty and a note says why.
void Remount(TComputer& c, const TDriveRefs& refs, std::vector<TStateNote>& notes) {
  auto usable = [&](int drive, const TImageRef& r) {
    bool exists = false;
    const uint64_t size = FileSize(r.Path, exists);
    if (exists && size == r.Size) return true;
    notes.push_back({drive, r.Path, !exists});
    return false;
  };
  TVfd& vfd = c.State.Vfd;
  vfd.UnmountAllDisks();
  for (int d = 0; d < TVfd::Drives; ++d) {
    const TImageRef& r = refs.Disk[d];
    vfd.DiskWriteProtect[d].store(r.Protect ? 1 : 0);
    if (r.Path.empty() || !usable(d, r)) continue;
    if (!vfd.MountDisk(d, r.Path, static_cast<int>(r.Disk)) ||
        static_cast<uint32_t>(vfd.Image(d).Kind) != r.Kind) {
      vfd.UnmountDisk(d);
      notes.push_back({d, r.Path, false});
    }
  }
  c.ImageNames.Drive0 = vfd.DiskMounted[0].load() ? refs.Disk[0].Path : std::string();
  c.ImageNames.Drive1 = vfd.DiskMounted[1].load() ? refs.Disk[1].Path : std::string();

  TVtp& tape = c.State.Vtp;
  tape.CloseTape();
  tape.TapeWriteProtect.store(refs.Tape.Protect ? 1 : 0);
  c.ImageNames.Tape.clear();
  if (!refs.Tape.Path.empty() && usable(-1, refs.Tape)) {
    if (tape.OpenTape(refs.Tape.Path)) {
      tape.SeekTape(static_cast<int64_t>(refs.Tape.Position));
      tape.TapeWriting = refs.Tape.Writing ? 1 : 0;
      c.ImageNames.Tape = refs.Tape.Path;
    } else {
      notes.push_back({-1, refs.Tape.Path, true});
    }
  }
}

}  // namespace

std::vector<uint8_t> SaveComputerState(TComputer& c, const TFrontState& front, uint32_t nowMs) {
  TStateWriter w;
  c.Thread.SaveState(w);
  w.Begin(TagKeyboard);
  c.Keyboard.SaveState(w);
  w.End();
  w.Begin(TagTimer);
  c.Timer.SaveState(w, nowMs);
  w.End();
  w.Begin(TagDrives);
  const TDriveRefs refs = CurrentRefs(c);
  for (const TImageRef& d : refs.Disk) SaveRef(w, d);
  SaveRef(w, refs.Tape);
  w.End();
  w.Begin(TagFront);
  w.U32(front.InsLamp ? 1 : 0);
  w.U32(front.TickDueMs);
  w.End();
  return PackState(w.Stream());
}

TStateLoad LoadComputerState(TComputer& c, std::span<const uint8_t> file, uint32_t nowMs) {
  TStateLoad result;
  TStateSections sections;
  result.Error = UnpackState(file, sections);
  if (result.Error != TStateError::None) return result;

  // The front end's sections first into objects of their own.
  {
    TNullPort port;
    TNullWindow window;
    TKeyboard keyboard(port);
    TTimerSchedule timer(port, window);
    TDriveRefs refs;
    TFrontState front;
    if (!LoadFrontParts(sections, {keyboard, timer, refs, front}, nowMs)) {
      result.Error = TStateError::Damaged;
      return result;
    }
  }
  // The machine checks its firmware and reads its own sections in two
  // passes; after it, nothing can fail.
  result.Error = c.Thread.LoadState(sections);
  if (result.Error != TStateError::None) return result;
  TDriveRefs refs;
  LoadFrontParts(sections, {c.Keyboard, c.Timer, refs, result.Front}, nowMs);
  Remount(c, refs, result.Notes);
  return result;
}

TStateError SaveComputerStateFile(TComputer& c, const TFrontState& front, uint32_t nowMs,
                                  const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = SaveComputerState(c, front, nowMs);
  return WriteStateFile(path, bytes);
}

TStateLoad LoadComputerStateFile(TComputer& c, const std::filesystem::path& path, uint32_t nowMs) {
  std::vector<uint8_t> bytes;
  TStateLoad result;
  result.Error = ReadStateFile(path, bytes);
  if (result.Error != TStateError::None) return result;
  return LoadComputerState(c, bytes, nowMs);
}

std::string StateErrorText(TStateError e, bool japanese) {
  struct TText {
    const char* Japanese;
    const char* English;
  };
  static constexpr TText texts[] = {
      {"", ""},
      {"状態ファイルを読み込めませんでした。", "the state file cannot be read"},
      {"Quillonの状態ファイルではありません。", "not a Quillon state file"},
      {"状態ファイルが壊れています。", "the state file is damaged"},
      {"新しいバージョンのQuillonで保存された状態ファイルです。", "the state file was saved by a newer Quillon"},
      {"別のROMデータで保存された状態ファイルです。", "the state was saved with other firmware images"},
      {"書き込みが禁止されているため保存できません。", "the file is read-only"},
      {"状態ファイルを書き込めませんでした。", "the state file cannot be written"},
  };
  const TText& t = texts[static_cast<size_t>(e)];
  return japanese ? t.Japanese : t.English;
}

std::string StateNoteText(const TStateNote& n, bool japanese) {
  if (japanese) {
    const std::string where = n.Drive < 0 ? "テープ" : "ドライブ" + std::to_string(n.Drive);
    return where + "のイメージ " + n.Path + (n.Missing ? " が見つかりません。" : " の大きさが変わっています。") +
           "空にしました。";
  }
  const std::string where = n.Drive < 0 ? "the tape" : "drive " + std::to_string(n.Drive);
  return where + " is left empty: its image " + n.Path + (n.Missing ? " is missing" : " changed its size");
}
