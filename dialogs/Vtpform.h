// TVtpForm1, the virtual tape dialog: which tape image is in the deck,
// whether it is write-protected, and, for the tape already in the deck, the
// position to wind it to, chosen from a list of the programs recorded on it.
// Confirming it opens, creates, closes or winds the tape itself; it runs
// while the emulation is paused, so no tape trap moves the tape meanwhile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Dialoghost.h"
#include "Recentmenu.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// What the dialog needs of the tape deck.
class TTapeDeck {
 public:
  virtual ~TTapeDeck() = default;
  virtual bool TapeMounted() const = 0;
  virtual bool TapeWriteProtect() const = 0;
  virtual void SetTapeWriteProtect(bool on) = 0;
  virtual bool OpenTape(const std::string& path) = 0;
  virtual bool CreateTape(const std::string& path) = 0;
  virtual void CloseTape() = 0;
  // From position on, finds the next program header; true at the end of the
  // tape. When a header is found, name holds its name bytes, position where
  // the next scan goes on, and the tape is left a little before the header.
  virtual bool NextTapeFile(int64_t& position, std::string& name) = 0;
  virtual int64_t TapePosition() = 0;
  virtual void SeekTape(int64_t position) = 0;
  virtual int64_t TapeLength() = 0;
};

// The same over any deck object with the members TapeMounted,
// TapeWriteProtect, OpenTape, CreateTape, CloseTape, NextTapeFile,
// TapePosition, SeekTape and TapeLength.
template <class Deck>
class TTapeDeckOf : public TTapeDeck {
 public:
  explicit TTapeDeckOf(Deck& deck) : D(deck) {}
  bool TapeMounted() const override { return D.TapeMounted != 0; }
  bool TapeWriteProtect() const override { return D.TapeWriteProtect != 0; }
  void SetTapeWriteProtect(bool on) override { D.TapeWriteProtect = on ? 1u : 0u; }
  bool OpenTape(const std::string& path) override { return D.OpenTape(path); }
  bool CreateTape(const std::string& path) override { return D.CreateTape(path); }
  void CloseTape() override { D.CloseTape(); }
  bool NextTapeFile(int64_t& position, std::string& name) override {
    return D.NextTapeFile(position, name) != 0;
  }
  int64_t TapePosition() override { return D.TapePosition(); }
  void SeekTape(int64_t position) override { D.SeekTape(position); }
  int64_t TapeLength() override { return D.TapeLength(); }

 private:
  Deck& D;
};

// One entry of the position list: a name (raw bytes as recorded on the
// tape, or one of the frame texts) and the position it winds to.
struct TTapeEntry {
  std::string Name;
  int64_t Position = 0;
};

struct TTapeIndex {
  std::vector<TTapeEntry> Entries;
  int Selected = -1;  // the first entry at or after the tape position
};

inline constexpr const char* TapeTopName = "- TOP  -";
inline constexpr const char* TapeBottomName = "-BOTTOM-";

// Lists the programs on the mounted tape, framed by the top (position 0)
// and the bottom (the length of the image). The tape position is restored.
TTapeIndex BuildTapeIndex(TTapeDeck& tape);

class TVtpForm1 : public TModalForm {
  Q_OBJECT
 public:
  // tape: the deck; fileName: the path last confirmed (owned by the main
  // window, also set by the command line and by drops).
  TVtpForm1(TTapeDeck& tape, std::string& fileName, QWidget* parent = nullptr);

  static QString FileFilter();
  static QString CreateQuestionText();
  static QString OpenFailedText();

  QCheckBox* VtpChkBox1;
  QLineEdit* VtpEdit1;
  QToolButton* VtpFileBtn1;  // with the recent tapes on its arrow
  QCheckBox* WproChkBox1;
  QLabel* Label1;
  QComboBox* VtpComboBox1;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;
  // The recent images the browse button offers (null: none).
  TRecentImages* Recent = nullptr;

  // The positions of the combo box entries, same order.
  const std::vector<int64_t>& Positions() const { return PositionList; }

  void VtpChkBox1Click();
  void VtpFileBtn1Click();

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;

 private:
  void BuildPositionList();

  TTapeDeck& Tape;
  std::string& FileName;
  std::vector<int64_t> PositionList;
};
