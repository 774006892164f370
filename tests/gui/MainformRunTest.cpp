// The main window running the machine with the free firmware, on the
// offscreen platform: start-up and its failures, frames, keys and paste into
// the machine, Reset, pausing, settings at close, images, capture.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QTextBrowser>
#include <QPrinter>
#include <QRegularExpression>
#include <QUrl>

#include "Hostevents.h"
#include "RunningForm.h"

namespace {

void Key(TForm1& form, QEvent::Type type, uint32_t evdev, int qtKey = 0, const QString& text = {}) {
  QKeyEvent e(type, qtKey, Qt::NoModifier, evdev + 8, 0, 0, text);
  QApplication::sendEvent(form.Picture, &e);
}

// Presses and releases a key, then gives the window time to hand the code to
// the machine (a loaded machine may need more than one round of events).
void Tap(TForm1& form, uint32_t evdev) {
  const uint32_t before = form.Computer->State.KeyData.load();
  Key(form, QEvent::KeyPress, evdev);
  RunUntil([&] { return form.Computer->State.KeyData.load() != before; }, 500);
  Key(form, QEvent::KeyRelease, evdev);
  Settle();
}

void WriteFile(const QString& path, int bytes) {
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(QByteArray(bytes, '\0'));
}

bool BannerShown(TForm1& form) { return TextScreen(form).find("Quillon") != std::string::npos; }

TEST(MainformRun, StartsTheMachineAndDrawsFrames) {
  TRunningForm run;
  TForm1& form = *run.Form;
  EXPECT_TRUE(run.Messages.isEmpty());
  EXPECT_TRUE(form.ThreadStarted);
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }, 10000));
  uint64_t frames = form.FramesDrawn;
  ASSERT_TRUE(RunUntil([&] { return form.FramesDrawn > frames + 1; }));
  // The banner line has white dots on black; every pixel is a pure colour.
  bool white = false;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 200; ++x) white |= form.Ddraw.Work.pixel(x, y) == qRgb(255, 255, 255);
  EXPECT_TRUE(white);
  EXPECT_EQ(form.Ddraw.Work.pixel(600, 190), qRgb(0, 0, 0));
}

TEST(MainformRun, MissingFirmwareSaysSoAndCloses) {
  TRunningForm run(false);
  ASSERT_EQ(run.Messages.size(), 1);
  EXPECT_EQ(run.Messages[0], "ROMデータの読み込みに失敗しました。");
  EXPECT_TRUE(RunUntil([&] { return !run.Form->isVisible(); }));
  // The settings file is written at close all the same.
  EXPECT_TRUE(run.Ini().contains("DspMode=0"));
}

TEST(MainformRun, PresenterFailureAtStartStartsNothing) {
  TRunningForm run(true, {}, {}, false);
  run.Form->Ddraw.RefuseOpen = true;
  run.Form->FormCreate();
  ASSERT_EQ(run.Messages.size(), 1);
  EXPECT_EQ(run.Messages[0], "DirectDrawの初期化に失敗しました。");
  EXPECT_FALSE(run.Form->ThreadStarted);
  EXPECT_FALSE(run.Form->KeyFilter.Installed());
  EXPECT_TRUE(RunUntil([&] { return !run.Form->isVisible(); }));
}

TEST(MainformRun, ResetReplacesEveryPendingRequest) {
  TRunningForm run;
  TForm1& form = *run.Form;
  form.PauseEmulation();
  run.State().McpuIntReq.store(MCPU_IRQ_KEY | MCPU_IRQ_TIMER | MCPU_FIRQ_BREAK);
  run.State().HotStartReq.store(1);
  form.Reset1->trigger();
  EXPECT_EQ(run.State().McpuIntReq.load(), 0x10000u);
  EXPECT_EQ(run.State().HotStartReq.load(), 0u);
  form.HotStart1->trigger();
  EXPECT_EQ(run.State().McpuIntReq.load(), 0x10000u);
  EXPECT_EQ(run.State().HotStartReq.load(), 1u);
  form.ResumeEmulation();
  // The run loop carries it out.
  EXPECT_TRUE(RunUntil([&] { return !(run.State().McpuIntReq.load() & MCPU_RESET); }));
}

TEST(MainformRun, NothingHappensWhileAMenuIsOpen) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(RunUntil([&] { return form.FramesDrawn > 2; }));
  form.Operate1->popup(form.mapToGlobal(QPoint(10, 10)));
  Settle();
  ASSERT_TRUE(form.Paused());
  uint64_t frames = form.FramesDrawn;
  run.State().ScpuIntReq.fetch_and(~SCPU_NMI);
  run.State().McpuIntReq.fetch_and(~MCPU_IRQ_TIMER);
  run.State().KeyData.store(0);
  // A key press queued before the pause is not delivered either.
  QCoreApplication::postEvent(&form, new THostKeyEvent(WM_HOSTKEYDOWN, 0x41, 1));
  Key(form, QEvent::KeyPress, 30);
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 150) QApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(form.FramesDrawn, frames);
  EXPECT_EQ(run.State().ScpuIntReq.load() & SCPU_NMI, 0u);
  EXPECT_EQ(run.State().McpuIntReq.load() & MCPU_IRQ_TIMER, 0u);
  EXPECT_EQ(run.State().KeyData.load(), 0u);
  form.Operate1->hide();
  Settle();
  Key(form, QEvent::KeyRelease, 30);
  EXPECT_FALSE(form.Paused());
  EXPECT_EQ(form.PauseCount, form.ResumeCount);
  EXPECT_TRUE(RunUntil([&] { return form.FramesDrawn > frames; }));
}

TEST(MainformRun, KeysReachTheMachineAsTheKeyMapSays) {
  TRunningForm run;
  TForm1& form = *run.Form;
  // The cold reset clears KeyData; let it happen before the first key.
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }, 10000));
  struct TCase {
    uint32_t Evdev;
    uint32_t Code;
  };
  const TCase cases[] = {
      {30, 0x61}, {44, 0x7A}, {2, 0x31},  {11, 0x30}, {12, 0x2D},   {13, 0x5E},
      {26, 0x40}, {27, 0x5B}, {39, 0x3B}, {40, 0x3A}, {43, 0x5D},   {51, 0x2C},
      {52, 0x2E}, {53, 0x2F}, {124, 0x5C}, {89, 0x22}, {59, 0x8001}, {68, 0x800A},
      {28, 0x0D}, {105, 0x1D}};
  for (const auto& c : cases) {
    run.State().KeyData.store(0xFFFF);
    Tap(form, c.Evdev);
    EXPECT_EQ(run.State().KeyData.load(), c.Code) << c.Evdev;
  }
  // Shift held: upper case and the shifted punctuation.
  Key(form, QEvent::KeyPress, 42);
  Tap(form, 30);
  EXPECT_EQ(run.State().KeyData.load(), 0x41u);
  Tap(form, 2);
  EXPECT_EQ(run.State().KeyData.load(), 0x21u);
  // Shift+8 of a US board ("*"): "(" by position, "*" typed as the host
  // layout has it.
  for (bool byChar : {false, true}) {
    form.Settings.KeyByChar = byChar;
    run.State().KeyData.store(0xFFFF);
    Key(form, QEvent::KeyPress, 9, Qt::Key_Asterisk, QStringLiteral("*"));
    RunUntil([&] { return run.State().KeyData.load() != 0xFFFF; }, 500);
    Key(form, QEvent::KeyRelease, 9);
    Settle();
    EXPECT_EQ(run.State().KeyData.load(), byChar ? 0x2Au : 0x28u);
  }
  form.Settings.KeyByChar = false;
  // Shift+F1 gives nothing.
  run.State().KeyData.store(0xFFFF);
  Tap(form, 59);
  EXPECT_EQ(run.State().KeyData.load(), 0xFFFFu);
  Key(form, QEvent::KeyRelease, 42);
  // Esc is BREAK while held (KeyCh_ESC defaults to on).
  Key(form, QEvent::KeyPress, 1);
  Settle();
  EXPECT_TRUE(run.State().McpuIntReq.load() & MCPU_FIRQ_BREAK);
  Key(form, QEvent::KeyRelease, 1);
  Settle();
  EXPECT_FALSE(run.State().McpuIntReq.load() & MCPU_FIRQ_BREAK);
  // Held while the program loses the keyboard: released all the same.
  Key(form, QEvent::KeyPress, 1);
  Settle();
  ASSERT_TRUE(run.State().McpuIntReq.load() & MCPU_FIRQ_BREAK);
  QEvent deactivate(QEvent::ApplicationDeactivate);
  QApplication::sendEvent(qApp, &deactivate);
  Settle();
  EXPECT_FALSE(run.State().McpuIntReq.load() & MCPU_FIRQ_BREAK);
  EXPECT_FALSE(form.KeyFilter.KeyState().Shift);
}

TEST(MainformRun, KanaKeyLightsTheLampAndResetPutsItOut) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }, 10000));
  Tap(form, 93);
  EXPECT_TRUE(RunUntil([&] { return form.StatusBar1->KanaLamp == 1; }));
  run.State().KeyData.store(0);
  Tap(form, 4);  // the 3 key in kana mode
  EXPECT_EQ(run.State().KeyData.load(), 0xB1u);
  form.Reset1->trigger();
  EXPECT_EQ(form.StatusBar1->KanaLamp, 0);
}

TEST(MainformRun, PasteSendsTheTextAsShiftJis) {
  TRunningForm run;
  TForm1& form = *run.Form;
  form.PauseEmulation();  // the test takes the steps itself
  QApplication::clipboard()->setText(QStringLiteral("AB\nｱ漢"));
  form.Paste1Click();
  std::vector<uint32_t> sent;
  while (form.Computer->Keyboard.PasteInProgress() && sent.size() < 20) {
    form.Computer->Keyboard.PasteStep();
    sent.push_back(run.State().KeyData.load());
    run.State().ClearScpu(SCPU_FIRQ_KEY);  // read, as the CPU would
    run.State().ClearMcpu(MCPU_IRQ_KEY);
  }
  EXPECT_EQ(sent, (std::vector<uint32_t>{0x41, 0x42, 0x0D, 0x0A, 0xB1, 0x8A, 0xBF}));
  form.ResumeEmulation();

  // Through the timer: the text goes out while the machine runs.
  QApplication::clipboard()->setText(QStringLiteral("1"));
  run.State().KeyData.store(0);
  form.Paste1Click();
  EXPECT_TRUE(RunUntil([&] { return run.State().KeyData.load() == 0x31; }));
  EXPECT_TRUE(RunUntil([&] { return !form.Computer->Keyboard.PasteInProgress(); }));
}

TEST(MainformRun, CopyPutsTheTextScreenOnTheClipboard) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }, 10000));
  QApplication::clipboard()->clear();
  form.Copy1->trigger();
  QString text = QApplication::clipboard()->text();
  EXPECT_TRUE(text.startsWith("Quillon")) << text.left(40).toStdString();
  EXPECT_TRUE(text.contains("\r\n"));
}

TEST(MainformRun, DisplayModeIsSavedAtCloseAndUsedAtStart) {
  QByteArray ini;
  {
    TRunningForm run(true, "[Other]\nKeep=1\n");
    run.Form->FullScrn1Click();
    Settle();
    run.Form->close();
    ini = run.Ini().toLatin1();
    EXPECT_TRUE(ini.contains("DspMode=1"));
    EXPECT_TRUE(ini.contains("Keep=1"));
    // The window had its normal shape back before it went.
    EXPECT_FALSE(run.Form->isFullScreen());
  }
  TRunningForm again(true, ini);
  Settle();
  EXPECT_EQ(again.Form->DspMode, 1);
  EXPECT_TRUE(again.Form->isFullScreen());
  EXPECT_TRUE(again.Form->FullScrn1->isChecked());
  EXPECT_TRUE(again.Form->menuBar()->isHidden());
  // Back to a window of the design size.
  again.Form->FullScrn1Click();
  Settle();
  EXPECT_EQ(again.Form->Picture->size(), QSize(640, 400));
}

TEST(MainformRun, BootModeFromSettingsAndMenu) {
  TRunningForm run(true, "[T1_SETTING]\nBootMode=1\n");
  TForm1& form = *run.Form;
  EXPECT_TRUE(form.DOS1->isChecked());
  EXPECT_EQ(run.State().BootMode.load(), 1);
  form.BASIC1->trigger();
  EXPECT_TRUE(form.BASIC1->isChecked());
  EXPECT_EQ(run.State().BootMode.load(), 0);
  form.close();
  EXPECT_TRUE(run.Ini().contains("BootMode=0"));
}

TEST(MainformRun, ImagesFromTheCommandLineAndDroppedFiles) {
  QTemporaryDir images;
  QString disk = images.filePath("game.vfd"), tape = images.filePath("data.VTP"),
          text = images.filePath("notes.txt"), disk2 = images.filePath("other.VFD");
  WriteFile(disk, 480);
  WriteFile(tape, 64);
  WriteFile(text, 10);
  WriteFile(disk2, 480);
  TRunningForm run(true, {}, {"-option", disk.toStdString(), tape.toStdString(), text.toStdString()});
  TForm1& form = *run.Form;
  TComputer& c = *form.Computer;
  EXPECT_TRUE(c.Drives.DiskMounted(0));
  EXPECT_TRUE(c.Drives.TapeMounted());
  EXPECT_EQ(c.ImageNames.Drive0, disk.toStdString());

  // Three files dropped: only the first counts, and the machine pauses once.
  int pauses = form.PauseCount;
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(disk2), QUrl::fromLocalFile(disk), QUrl::fromLocalFile(tape)});
  QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  EXPECT_EQ(c.ImageNames.Drive0, disk2.toStdString());
  EXPECT_TRUE(c.Drives.DiskMounted(0));
  EXPECT_EQ(form.PauseCount, pauses + 1);
  EXPECT_EQ(form.PauseCount, form.ResumeCount);
  EXPECT_FALSE(form.Paused());

  // A file that is not there empties the drive, without a message.
  form.DropFiles({images.filePath("missing.vfd").toStdString()});
  EXPECT_FALSE(c.Drives.DiskMounted(0));
  form.DropFiles({text.toStdString()});  // nothing the keyboard can type
  EXPECT_FALSE(c.Keyboard.PasteInProgress());
  EXPECT_TRUE(c.Drives.TapeMounted());
  EXPECT_TRUE(run.Messages.isEmpty());
  // A listing is typed in, once the BASIC is ready for it (keys typed while
  // the machine is still starting are not the test's subject).
  ASSERT_TRUE(RunUntil([&] { return TextScreen(form).find("Ok") != std::string::npos; }, 10000));
  const QString listing = images.filePath("prog.BAS");
  QFile f(listing);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("PRINT 6*7\nPRINT 7*8");
  f.close();
  form.DropFiles({listing.toStdString()});
  EXPECT_TRUE(RunUntil([&] { return TextScreen(form).find(" 56 ") != std::string::npos; })) << TextScreen(form);
  EXPECT_NE(TextScreen(form).find(" 42 "), std::string::npos);
  EXPECT_TRUE(c.Drives.TapeMounted());
  form.close();
  EXPECT_FALSE(c.Drives.TapeMounted());
}

TEST(MainformRun, SaveWritesThePictureAndAsksBeforeOverwriting) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }, 10000));
  QString path = run.Dir.filePath("screen.bmp");
  form.AskSaveFileName = [&] { return path; };
  QStringList questions;
  form.AskYesNo = [&](const QString& q) {
    questions << q;
    return false;
  };
  form.BmpSave1Click();
  EXPECT_TRUE(questions.isEmpty());
  QImage img(path);
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(640, 400));
  bool white = false;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) {
      QRgb p = img.pixel(x, y);
      for (int ch : {qRed(p), qGreen(p), qBlue(p)}) ASSERT_TRUE(ch == 0 || ch == 255);
      white |= p == qRgb(255, 255, 255);
      if (y % 2 == 0) {
        ASSERT_EQ(p, img.pixel(x, y + 1));  // each line twice
      }
    }
  EXPECT_TRUE(white);
  EXPECT_EQ(form.PauseCount, form.ResumeCount);
  // A .png name gives a PNG of the same picture (held still between them).
  form.PauseEmulation();
  for (const char* name : {"still.bmp", "still.png"}) {
    form.AskSaveFileName = [&] { return run.Dir.filePath(name); };
    form.BmpSave1Click();
  }
  form.ResumeEmulation();
  QImage stillBmp(run.Dir.filePath("still.bmp"), "BMP"), stillPng(run.Dir.filePath("still.png"), "PNG");
  ASSERT_FALSE(stillPng.isNull());
  ASSERT_EQ(stillPng.size(), stillBmp.size());
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) ASSERT_EQ(stillPng.pixel(x, y), stillBmp.pixel(x, y)) << x << "," << y;
  form.AskSaveFileName = [&] { return path; };

  // Again: the question names the file; No keeps the old one.
  QFile::resize(path, 100);
  form.BmpSave1Click();
  ASSERT_EQ(questions.size(), 1);
  EXPECT_EQ(questions[0], "\"screen.bmp\"\n同じ名前のファイルがあります。上書きしますか？");
  EXPECT_EQ(QFileInfo(path).size(), 100);
  // A place that cannot be written: the failure's own words, and running on.
  form.AskSaveFileName = [&] { return run.Dir.filePath("no/such/dir/x.bmp"); };
  form.BmpSave1Click();
  EXPECT_EQ(run.Messages.size(), 1);
  EXPECT_FALSE(form.Paused());
}

TEST(MainformRun, PrintGivesOnePagePerCopy) {
  TRunningForm run;
  TForm1& form = *run.Form;
  QString pdf = run.Dir.filePath("out.pdf");
  form.AskPrinter = [&](QPrinter& p) {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(pdf);
    p.setCopyCount(3);
    return true;
  };
  form.Print1Click();
  QFile f(pdf);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QString data = QString::fromLatin1(f.readAll());
  EXPECT_EQ(data.count(QRegularExpression("/Type\\s*/Page[^s]")), 3);
  EXPECT_FALSE(form.Paused());
  // Cancelled: nothing printed, the machine runs on.
  form.AskPrinter = [](QPrinter&) { return false; };
  form.Print1Click();
  EXPECT_EQ(form.PauseCount, form.ResumeCount);
}

}  // namespace

// Save states in the window: quick slots beside the settings, the file
// dialog, a dropped state and one named on the command line. A bad file
// says so once and leaves the machine as it was.
TEST(MainformRun, SaveStatesThroughSlotsDialogDropAndCommandLine) {
  TRunningForm run;
  TForm1& form = *run.Form;
  TMcpuThread& t = form.Computer->Thread;
  auto poke = [&](uint8_t v) {
    t.Suspend();
    t.Mcpu->Bank[1][0x9000] = v;  // RAM under the BASIC image: nobody else's
    t.Resume();
  };
  auto peek = [&] {
    t.Suspend();
    const uint8_t v = t.Mcpu->Bank[1][0x9000];
    t.Resume();
    return v;
  };
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }));

  // A disk in drive 1 (mounted as the disk dialog does) comes back with its
  // name, which the dialog shows.
  QTemporaryDir images;
  const QString disk1 = images.filePath("second.vfd");
  WriteFile(disk1, 480);
  t.Suspend();
  ASSERT_TRUE(form.Computer->State.Vfd.MountDisk(1, disk1.toStdString()));
  form.Computer->ImageNames.Drive1 = disk1.toStdString();
  t.Resume();

  poke(0x42);
  form.QuickSaveItems[1]->trigger();
  const QString slot = run.Dir.filePath("states/quick2.qst");
  EXPECT_TRUE(QFile::exists(slot));
  EXPECT_EQ(form.StatusBar1->Text(), QStringLiteral("状態を保存しました: quick2.qst"));
  poke(0x99);
  form.Computer->ImageNames.Drive1.clear();
  form.QuickLoadItems[1]->trigger();
  EXPECT_EQ(peek(), 0x42);
  EXPECT_EQ(form.Computer->ImageNames.Drive1, disk1.toStdString());
  form.QuickLoadItems[2]->trigger();
  EXPECT_TRUE(form.StatusBar1->Text().contains(QStringLiteral("保存された状態がありません")));

  // A file that is not a state, through the dialog.
  const QString junk = run.Dir.filePath("junk.qst");
  WriteFile(junk, 300);
  form.AskStateFileName = [&](bool save) { return save ? QString() : junk; };
  poke(0x77);
  form.StateLoad1->trigger();
  EXPECT_EQ(run.Messages, QStringList{QStringLiteral("junk.qst: Quillonの状態ファイルではありません。")});
  EXPECT_EQ(peek(), 0x77);
  EXPECT_EQ(form.PauseCount, form.ResumeCount);

  // Dropped.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(slot)});
  QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  EXPECT_EQ(peek(), 0x42);

  // On the command line of another window: it starts from the state.
  TRunningForm again(true, {}, {slot.toStdString()});
  TMcpuThread& t2 = again.Form->Computer->Thread;
  t2.Suspend();
  EXPECT_EQ(t2.Mcpu->Bank[1][0x9000], 0x42);
  t2.Resume();
  EXPECT_TRUE(RunUntil([&] { return BannerShown(*again.Form); }));
}

// The beep: the emulation thread posts it, the window plays it when the
// setting says so. Without an audio output the window says so once in the
// status bar, and never with a message box.
TEST(MainformRun, BeepSettingAndNoAudioOutput) {
  struct Case {
    QByteArray ini;
    bool on;
  } cases[] = {{"", true}, {"[T1_SETTING]\nBeep=0\n", false}};
  for (const Case& c : cases) {
    TRunningForm run(true, c.ini);
    TForm1& form = *run.Form;
    EXPECT_EQ(form.Beep1->isChecked(), c.on) << c.ini.data();
    for (int i = 0; i < 3; ++i) {
      form.Host.Beep();  // as the sub CPU's beep register calls it
      form.Host.Beep();  // before the window took the first: the same beep
      Settle();
      if (i == 0) form.StatusBar1->SetText(QString());
    }
    EXPECT_EQ(form.Beeper.Output(), c.on ? TBeeper::TOutput::None : TBeeper::TOutput::NotLookedFor);
    EXPECT_EQ(form.StatusBar1->Text(), QString()) << "said once, and only when the beep is on";
    EXPECT_TRUE(run.Messages.isEmpty());
    form.Beep1->trigger();
    EXPECT_EQ(form.Settings.Beep, !c.on);
    form.close();
    EXPECT_TRUE(run.Ini().contains(c.on ? "Beep=0" : "Beep=1"));
  }
  // The first beep says it.
  TRunningForm run;
  run.Form->Host.Beep();
  Settle();
  EXPECT_EQ(run.Form->StatusBar1->Text(), QStringLiteral("音声出力装置がないため、ビープ音は鳴りません。"));
}

// The language menu: the choice is saved for the next start, and the status
// bar says so in the language chosen.
TEST(MainformRun, LanguageIsChosenForTheNextStart) {
  TRunningForm run;
  TForm1& form = *run.Form;
  EXPECT_EQ(form.File1->title(), QStringLiteral("ファイル(&F)"));
  EXPECT_TRUE(form.LanguageJa1->isChecked());
  const struct { QAction* item; const char* ini; QString says; } steps[] = {
      {form.LanguageEn1, "Language=en", QStringLiteral("English takes effect at the next start.")},
      {form.LanguageJa1, "Language=ja", QString()},
  };
  for (const auto& s : steps) {
    s.item->trigger();
    EXPECT_TRUE(s.item->isChecked());
    EXPECT_EQ(form.StatusBar1->Text(), s.says);
    EXPECT_EQ(form.File1->title(), QStringLiteral("ファイル(&F)")) << "the window keeps its language";
  }
  form.LanguageEn1->trigger();
  form.close();
  EXPECT_TRUE(run.Ini().contains("Language=en"));
  TForm1Options o;
  o.ProgramDir = run.Dir.path().toStdString();
  EXPECT_EQ(TForm1::StartLanguage(o), "en");
}

namespace {

// The help menu shows the BASIC's guide, and types an example program in as
// a dropped listing is.
TEST(MainformRun, HelpShowsTheGuideAndTypesAnExample) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(RunUntil([&] { return BannerShown(form); }));
  form.Guide1->trigger();
  ASSERT_NE(form.GuideWindow, nullptr);
  EXPECT_TRUE(form.GuideWindow->isVisible());
  EXPECT_TRUE(form.GuideWindow->toPlainText().contains(QStringLiteral("26621 bytes free")));
  QAction* example = nullptr;
  for (QAction* a : form.Examples1->actions())
    if (a->text() == QStringLiteral("catch.bas")) example = a;
  ASSERT_NE(example, nullptr);
  example->trigger();
  EXPECT_TRUE(RunUntil([&] { return TextScreen(form).find("10 REM Catch the falling stars") != std::string::npos; },
                       10000))
      << TextScreen(form);
}

TEST(MainformRun, SpeedShownFullSpeedOnMachineTimeAndSmoothing) {
  TRunningForm run(true, "[T1_SETTING]\nCpuWait=255\nSmooth=1\n");
  TForm1& form = *run.Form;
  EXPECT_TRUE(form.Smooth1->isChecked() && form.Ddraw.Smooth);
  form.Smooth1->trigger();
  EXPECT_FALSE(form.Ddraw.Smooth);
  const QRegularExpression speed(QStringLiteral("^速度 \\d+%$")), full(QStringLiteral("^全速 \\d+%$"));
  ASSERT_TRUE(RunUntil([&] { return speed.match(form.StatusBar1->SpeedText()).hasMatch(); }))
      << form.StatusBar1->SpeedText().toStdString();
  form.FullSpeed1->trigger();
  EXPECT_TRUE(form.Pacer.FullSpeed());
  EXPECT_EQ(run.State().CpuWait.load(), 254) << "the loop still counts machine time";
  EXPECT_TRUE(RunUntil([&] { return full.match(form.StatusBar1->SpeedText()).hasMatch(); }));
  // Frames go on, and a pasted line (sent on the sub CPU's timer, now on
  // machine time) is typed in.
  const uint64_t frames = form.FramesDrawn;
  form.Computer->Keyboard.StartPaste("PRINT 12*12\r\n");
  EXPECT_TRUE(RunUntil([&] { return TextScreen(form).find(" 144 ") != std::string::npos; }, 10000));
  EXPECT_TRUE(RunUntil([&] { return form.FramesDrawn > frames; }));  // the paste may beat a frame
  // A menu's pause keeps the mode; unchecking returns to the setting.
  form.PauseEmulation();
  form.ResumeEmulation();
  EXPECT_TRUE(form.Pacer.FullSpeed());
  form.FullSpeed1->trigger();
  EXPECT_FALSE(form.Pacer.FullSpeed());
  EXPECT_EQ(run.State().CpuWait.load(), 255);
  form.close();
  EXPECT_FALSE(run.Ini().contains("Full", Qt::CaseInsensitive));
  EXPECT_TRUE(run.Ini().contains("Smooth=0"));
}

TEST(MainformRun, RecentImagesFromArgumentsDropsAndTheFileMenu) {
  QTemporaryDir images;
  const QString disk = images.filePath("a&b.vfd"), tape = images.filePath("t.vtp");
  WriteFile(disk, 480);
  WriteFile(tape, 64);
  TRunningForm run(true, {}, {disk.toStdString()});
  TForm1& form = *run.Form;
  TComputer& c = *form.Computer;
  form.DropFiles({tape.toStdString()});
  EXPECT_EQ(form.Settings.Recent, (std::vector<std::string>{tape.toStdString(), disk.toStdString()}));
  ASSERT_EQ(form.RecentMenu1->actions().size(), 2);
  EXPECT_EQ(form.RecentMenu1->actions()[1]->text(), "&2 " + QString(disk).replace("&", "&&"));
  // Chosen from the menu: mounted as a drop mounts it, and first again.
  c.Drives.UnmountDisk(0);
  form.RecentMenu1->actions()[1]->trigger();
  EXPECT_TRUE(c.Drives.DiskMounted(0));
  EXPECT_EQ(form.Settings.Recent.front(), disk.toStdString());
  // A file that is gone leaves the list, with the failure message.
  QFile::remove(tape);
  form.RecentMenu1->actions()[0]->trigger();
  EXPECT_EQ(run.Messages, QStringList{"仮想テープのオープンに失敗しました。"});
  EXPECT_EQ(form.Settings.Recent, std::vector<std::string>{disk.toStdString()});
  form.close();
  EXPECT_TRUE(run.Ini().contains("Recent1=" + disk.toLatin1()));
  EXPECT_FALSE(run.Ini().contains("Recent2"));
}

}  // namespace
