// The virtual tape dialog and its position list over a real cassette deck.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "Fakehost.h"
#include "Vtpform.h"
#include "Vtp.h"

namespace {
using Bytes = std::vector<uint8_t>;

// A firmware header block: 01 3C 00, a length, the 8-byte name.
void AddHeader(Bytes& tape, const std::string& name, uint8_t first = 0) {
  tape.insert(tape.end(), {0x01, 0x3C, 0x00, 0x14});
  std::string padded = name;
  padded.resize(8, ' ');
  if (first) padded[0] = static_cast<char>(first);
  tape.insert(tape.end(), padded.begin(), padded.end());
}

void AddFill(Bytes& tape, size_t count) { tape.insert(tape.end(), count, 0xFF); }

class VtpFormTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Dir.isValid()); }
  std::string Write(const char* name, const Bytes& bytes) {
    const QString path = Dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return path.toStdString();
  }
  std::string Mount(const Bytes& bytes) {
    FileName = Write("t.vtp", bytes);
    EXPECT_TRUE(Deck.OpenTape(FileName));
    return FileName;
  }
  QStringList Items(const TVtpForm1& form) {
    QStringList items;
    for (int i = 0; i < form.VtpComboBox1->count(); ++i)
      items << form.VtpComboBox1->itemText(i);
    return items;
  }

  QTemporaryDir Dir;
  TVtp Deck;
  TTapeDeckOf<TVtp> Tape{Deck};
  std::string FileName;
  TFakeHost Host;
};
}  // namespace

TEST_F(VtpFormTest, PositionListsOfTypicalTapes) {
  struct Case {
    const char* what;
    Bytes image;
    std::vector<std::string> names;
    std::vector<int64_t> positions;
  };
  std::vector<Case> cases;
  cases.push_back({"empty image", {}, {TapeTopName, TapeBottomName}, {0, 0}});
  {
    Bytes t;
    AddFill(t, 100);
    AddHeader(t, "EARLY");
    AddFill(t, 50);
    cases.push_back({"header at 100 lists at 0", t, {TapeTopName, "EARLY   ", TapeBottomName},
                     {0, 0, int64_t(t.size())}});
  }
  {
    Bytes t;
    AddFill(t, 400);
    AddHeader(t, "ONE");
    AddFill(t, 600);
    AddHeader(t, "TWO");
    AddFill(t, 10);
    // Listed 255 bytes before each header's 01 byte.
    cases.push_back({"two headers", t, {TapeTopName, "ONE     ", "TWO     ", TapeBottomName},
                     {0, 145, 757, int64_t(t.size())}});
  }
  {
    Bytes t;
    AddHeader(t, "HIDDEN", 0x1F);
    AddHeader(t, "KANA", 0xB1);
    cases.push_back({"name below 0x20 skipped, 0xB1 kept", t,
                     {TapeTopName, "\xB1" "ANA    ", TapeBottomName}, {0, 0, 24}});
  }
  cases.push_back({"01 01 3C 00 is no header", {0x01, 0x01, 0x3C, 0x00, 0x08, 'N', 'A', 'M', 'E', ' ', ' ', ' ', ' '},
                   {TapeTopName, TapeBottomName}, {0, 13}});

  for (const Case& c : cases) {
    Mount(c.image);
    const TTapeIndex index = BuildTapeIndex(Tape);
    std::vector<std::string> names;
    std::vector<int64_t> positions;
    for (const TTapeEntry& e : index.Entries) {
      names.push_back(e.Name);
      positions.push_back(e.Position);
    }
    EXPECT_EQ(names, c.names) << c.what;
    EXPECT_EQ(positions, c.positions) << c.what;
    EXPECT_EQ(index.Selected, 0) << c.what;
    EXPECT_EQ(Deck.TapePosition(), 0) << c.what;
    Deck.CloseTape();
  }
}

TEST_F(VtpFormTest, SelectionFollowsTheTapePositionWhichIsRestored) {
  Bytes t;
  AddFill(t, 400);
  AddHeader(t, "ONE");
  AddFill(t, 600);
  AddHeader(t, "TWO");
  Mount(t);
  const struct { int64_t at; int selected; } cases[] = {
      {0, 0}, {1, 1}, {145, 1}, {146, 2}, {757, 2}, {758, 3}, {int64_t(t.size()), 3}};
  for (const auto& c : cases) {
    Deck.SeekTape(c.at);
    EXPECT_EQ(BuildTapeIndex(Tape).Selected, c.selected) << c.at;
    EXPECT_EQ(Deck.TapePosition(), c.at);
  }
}

TEST_F(VtpFormTest, ShowFillsControlsAndDecodesKanaNames) {
  Bytes t;
  AddHeader(t, "KANA", 0xB1);
  Mount(t);
  Deck.TapeWriteProtect = 1;
  TVtpForm1 form(Tape, FileName);
  form.show();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("仮想テープ"));
  EXPECT_TRUE(form.VtpChkBox1->isChecked());
  EXPECT_TRUE(form.WproChkBox1->isChecked());
  EXPECT_EQ(form.VtpEdit1->text().toStdString(), FileName);
  EXPECT_EQ(Items(form), (QStringList{"- TOP  -", "ｱANA    ", "-BOTTOM-"}));
  EXPECT_EQ(form.VtpComboBox1->currentIndex(), 0);
  form.reject();

  Deck.CloseTape();
  form.show();
  EXPECT_EQ(form.VtpComboBox1->count(), 0);
  EXPECT_FALSE(form.VtpComboBox1->isEnabled());
  EXPECT_FALSE(form.VtpEdit1->isEnabled());
  form.reject();
}

TEST_F(VtpFormTest, SameTapeIsWoundToTheChosenEntry) {
  Bytes t;
  AddFill(t, 400);
  AddHeader(t, "ONE");
  AddFill(t, 30);
  Mount(t);
  Deck.SeekTape(7);
  TVtpForm1 form(Tape, FileName);
  form.show();
  EXPECT_EQ(form.VtpComboBox1->currentIndex(), 1);
  form.accept();  // only write protection may change: wound to the entry
  EXPECT_EQ(Deck.TapePosition(), 145);

  form.show();
  form.VtpComboBox1->setCurrentIndex(2);  // -BOTTOM-
  form.WproChkBox1->setChecked(true);
  form.accept();
  EXPECT_EQ(Deck.TapePosition(), int64_t(t.size()));
  EXPECT_EQ(Deck.TapeWriteProtect, 1u);
  EXPECT_EQ(Deck.TapeMounted, 1u);

  form.show();
  form.VtpComboBox1->setCurrentIndex(0);
  form.reject();  // Cancel: the tape stays where it was
  EXPECT_EQ(Deck.TapePosition(), int64_t(t.size()));
}

TEST_F(VtpFormTest, OtherLetterCaseIsAnotherTapeOpenedAtZero) {
  Bytes t;
  AddFill(t, 64);
  Write("T.VTP", t);
  Mount(t);
  Deck.SeekTape(40);
  TVtpForm1 form(Tape, FileName);
  form.show();
  const QString upper = Dir.filePath(QStringLiteral("T.VTP"));
  form.VtpEdit1->setText(upper);
  form.accept();
  EXPECT_EQ(Deck.TapeMounted, 1u);
  EXPECT_EQ(Deck.TapePosition(), 0);
  EXPECT_EQ(FileName, upper.toStdString());
}

TEST_F(VtpFormTest, MissingFileAsksAndCreatesOnYesOnly) {
  const std::string missing = Dir.filePath(QStringLiteral("new.vtp")).toStdString();
  for (bool yes : {false, true}) {
    TVtpForm1 form(Tape, FileName);
    form.show();
    form.VtpChkBox1->setChecked(true);
    form.VtpEdit1->setText(QString::fromStdString(missing));
    Host.Answer = yes;
    form.accept();
    EXPECT_EQ(Host.Questions.last(), TVtpForm1::CreateQuestionText());
    EXPECT_EQ(Deck.TapeMounted, yes ? 1u : 0u);
    EXPECT_EQ(QFile::exists(QString::fromStdString(missing)), yes);
    EXPECT_EQ(FileName, missing);
  }
  EXPECT_TRUE(Host.Warnings.isEmpty());
}

TEST_F(VtpFormTest, ExistingFileThatWillNotOpenIsNeverTruncated) {
  // A directory exists but cannot be a tape; nothing offers to create over it.
  TVtpForm1 form(Tape, FileName);
  form.show();
  form.VtpChkBox1->setChecked(true);
  form.VtpEdit1->setText(Dir.path());
  Host.Answer = true;
  form.accept();
  EXPECT_TRUE(Host.Questions.isEmpty());
  EXPECT_EQ(Host.Warnings, QStringList{TVtpForm1::OpenFailedText()});
  EXPECT_EQ(Deck.TapeMounted, 0u);
  EXPECT_TRUE(QDir(Dir.path()).exists());
}

TEST_F(VtpFormTest, CreateFailingWarnsAndClearingTheBoxClosesTheTape) {
  TVtpForm1 form(Tape, FileName);
  form.show();
  form.VtpChkBox1->setChecked(true);
  form.VtpEdit1->setText(Dir.filePath(QStringLiteral("no/such/dir/x.vtp")));
  Host.Answer = true;
  form.accept();
  EXPECT_EQ(Host.Warnings, QStringList{TVtpForm1::OpenFailedText()});
  EXPECT_EQ(Deck.TapeMounted, 0u);

  Mount({1, 2, 3});
  form.show();
  form.VtpChkBox1->setChecked(false);
  form.accept();
  EXPECT_EQ(Deck.TapeMounted, 0u);
}

// The desktop's file dialog for a new tape takes a name not there yet; the
// file-open dialog insists on an existing file. The name is typed into the
// dialog's own name field, as a user would; a dialog still open after about
// five seconds is rejected, so the test fails instead of waiting for ever.
TEST(DialogHost, NewFileNameIsAcceptedOnlyWhereAsked) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("new.vtp"));
  TQtDialogHost host;
  for (bool mayBeNew : {false, true}) {
    QTimer poll;
    int ticks = 0;
    bool answered = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QFileDialog* dialog = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
      if (++ticks > 250) {
        ADD_FAILURE() << "the file dialog did not close; mayBeNew " << mayBeNew;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
          modal->done(QDialog::Rejected);
        if (dialog) static_cast<QDialog*>(dialog)->done(QDialog::Rejected);
        return;
      }
      if (!dialog || answered) return;
      answered = true;
      EXPECT_EQ(dialog->fileMode(), mayBeNew ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
      if (!mayBeNew) {
        dialog->reject();
        return;
      }
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(QStringLiteral("new.vtp"));
      static_cast<QDialog*>(dialog)->accept();
    });
    poll.start(20);
    const QString chosen = mayBeNew ? host.OpenOrNewFileName(nullptr, "*.vtp", "vtp", dir.path())
                                    : host.OpenFileName(nullptr, "*.vtp", "vtp", dir.path());
    EXPECT_EQ(chosen, mayBeNew ? missing : QString()) << mayBeNew;
  }
}
