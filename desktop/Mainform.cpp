// The main window: layout, menus, tool bar, status bar, zoom, full screen and
// the pause that holds the machine still while a menu or dialog is open.
#include "Mainform.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cstring>

#include "CommandLine.h"
#include "Hostevents.h"
#include "Kanjifont.h"
#include "Language.h"
#include "Locations.h"
#include "MachineLink.h"
#include "RecentFiles.h"
#include "StateFile.h"
#include "Toolicons.h"
#include "TypeFile.h"

// ---------------------------------------------------------------- TPicture

TPicture::TPicture(TDdraw& ddraw, QWidget* parent) : QWidget(parent), Ddraw(ddraw) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(0, 0);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void TPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Ddraw.Paint(p, rect());
}

void TPicture::resizeEvent(QResizeEvent*) { emit Resized(); }

// -------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(240, 240, 240));
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
}

void TStatusBar::SetText(const QString& text) {
  Panel0Text = text;
  update();
}

void TStatusBar::SetSpeedText(const QString& text) {
  if (text == Speed) return;
  Speed = text;
  update();
}

QRect TStatusBar::PanelRect(int panel) const {
  // Panel 0 is the window's outer width less 114; the outer width is taken
  // as the design's, the client width plus a 4-pixel frame each side,
  // whatever frame the desktop draws (none without a window manager), so the
  // lamps stand in one place. The last panel runs past the right edge.
  int x1 = std::max(0, width() + DesignFrameWidth - 114);
  switch (panel) {
    case 0: return QRect(0, 0, x1, height());
    case 1: return QRect(x1, 0, LampWidth, height());
    case 2: return QRect(x1 + LampWidth, 0, LampWidth, height());
    default: return QRect(x1 + 2 * LampWidth, 0, LastWidth, height());
  }
}

void TStatusBar::DrawLampPanel(QPainter& p, const QRect& r, int lamp, const QString& label) {
  p.setPen(QColor(160, 160, 160));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(Qt::white);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
  QRect inner = r.adjusted(1, 1, -1, -1);
  p.drawPixmap(inner.left(), inner.top(), LampPixmap(lamp != 0));
  p.setPen(Qt::black);
  // A label longer than the lamp's room (another language's) is narrowed
  // to fit.
  const int room = inner.width() - 18;
  const int width = p.fontMetrics().horizontalAdvance(label);
  if (width > room && room > 0) {
    QFont narrow = p.font();
    narrow.setStretch(std::max(50, room * 100 / width));
    p.setFont(narrow);
  }
  p.drawText(QRect(inner.left() + 18, inner.top() + 2, room, inner.height() - 2), Qt::AlignLeft | Qt::AlignTop,
             label);
}

void TStatusBar::paintEvent(QPaintEvent*) {
  ++RepaintCount;
  QPainter p(this);
  p.setPen(Qt::black);
  QRect r0 = PanelRect(0).adjusted(3, 0, -3, 0);
  if (!Speed.isEmpty()) {
    p.drawText(r0, Qt::AlignRight | Qt::AlignVCenter, Speed);
    r0.setRight(r0.right() - fontMetrics().horizontalAdvance(Speed) - 8);
  }
  p.drawText(r0, Qt::AlignLeft | Qt::AlignVCenter,
             fontMetrics().elidedText(Panel0Text, Qt::ElideRight, std::max(0, r0.width())));
  DrawLampPanel(p, PanelRect(1), KanaLamp, tr("カナ"));
  DrawLampPanel(p, PanelRect(2), InsLamp, QStringLiteral("INS"));
}

// --------------------------------------------------------- TQtHostServices

void TQtHostServices::Beep() {
  // Called on the emulation thread; the beep itself is the GUI thread's.
  if (BeepTarget && !BeepPending.exchange(true))
    PostFromThread(BeepTarget, new QEvent(HostEventType(WM_BEEP)));
}

void TQtHostServices::DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) { DrawKanjiGlyph(sjis, bitmap); }

// ------------------------------------------------------------------ TForm1

namespace {

QString OpenFailedText() { return TForm1::tr("DirectDrawの初期化に失敗しました。"); }
QString RomFailedText() { return TForm1::tr("ROMデータの読み込みに失敗しました。"); }
// A recent image that cannot be mounted: the dialogs' words.
QString DiskOpenFailedText() { return TForm1::tr("仮想ＦＤのオープンに失敗しました。"); }
QString TapeOpenFailedText() { return TForm1::tr("仮想テープのオープンに失敗しました。"); }
// The firmware cannot hear of a failed tape write (a full file system); the
// status bar tells the user.
QString TapeWriteFailedText() { return TForm1::tr("仮想テープへの書き込みに失敗しました。"); }
QString NoAudioText() { return TForm1::tr("音声出力装置がないため、ビープ音は鳴りません。"); }

std::filesystem::path DirectoryOfProgram(const TForm1Options& o) {
  if (!o.ProgramDir.empty()) return std::filesystem::path(o.ProgramDir);
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

QByteArray ToShiftJis(const QString& text) {
  QStringEncoder encode("Shift_JIS");
  return encode(text);
}

QString FromShiftJis(const std::string& bytes) {
  QStringDecoder decode("Shift_JIS");
  return decode(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace

TForm1::TForm1(TForm1Options options, QWidget* parent)
    : QMainWindow(parent), Options(std::move(options)), KeyFilter(this) {
  setWindowTitle(QStringLiteral("Quillon"));
  QFont f;
  f.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("ＭＳ Ｐゴシック"),
                 QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  f.setPixelSize(12);
  setFont(f);

  // The picture area paints itself black around the picture; the bars keep
  // the system's look.
  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  ToolBar1 = new QToolBar(client);
  ToolBar1->setFixedHeight(ToolBarHeight);
  ToolBar1->setIconSize(QSize(20, 20));
  ToolBar1->setMovable(false);
  Picture = new TPicture(Ddraw, client);
  StatusBar1 = new TStatusBar(client);
  StatusBar1->setFixedHeight(StatusBarHeight);
  column->addWidget(ToolBar1);
  column->addWidget(Picture, 1);
  column->addWidget(StatusBar1);
  setCentralWidget(client);
  connect(Picture, &TPicture::Resized, this, [this] { SetDstRect(); });
  SpeedTimer = new QTimer(this);
  SpeedTimer->setInterval(500);
  connect(SpeedTimer, &QTimer::timeout, this, [this] { ShowSpeed(); });

  BuildMenus();
  BuildToolBar();
  Host.BeepTarget = this;
  Beeper.OnNoOutput = [this] { StatusBar1->SetText(NoAudioText()); };

  ShowMessage = [this](const QString& text) {
    QMessageBox::warning(this, windowTitle(), text);
  };
  AskYesNo = [this](const QString& text) {
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  AskSaveFileName = [this]() {
    QFileDialog dlg(this, tr("画面の保存"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    // A name ending in .png is saved as PNG, any other as a bitmap; the
    // suffix added to a bare name follows the chosen filter.
    const QString png = tr("PNGファイル　(*.png)");
    dlg.setNameFilters({tr("ビットマップファイル　(*.bmp)"), png,
                        tr("すべてのファイル　(*.*)")});
    dlg.setDefaultSuffix(QStringLiteral("BMP"));
    connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, png](const QString& f) {
      dlg.setDefaultSuffix(f == png ? QStringLiteral("png") : QStringLiteral("BMP"));
    });
    // The window asks about an existing file itself, with its own words.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    return dlg.selectedFiles().front();
  };
  AskStateFileName = [this](bool save) {
    QFileDialog dlg(this, save ? tr("状態の保存") : tr("状態の読み込み"));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!save) dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters({tr("Quillon状態ファイル (*.qst)")});
    dlg.setDefaultSuffix(QStringLiteral("qst"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    return dlg.selectedFiles().front();
  };
  AskPrinter = [this](QPrinter& printer) {
    QPrintDialog dlg(&printer, this);
    return dlg.exec() == QDialog::Accepted;
  };

  // The design size: the 100 % picture between the bars. It is also what
  // leaving full screen restores when the program started in full screen.
  SavedClientSize = QSize(ZoomSizes[2].width(), ZoomSizes[2].height() + ToolBarHeight + StatusBarHeight);
  SetClientSize(SavedClientSize);
  CentreOnScreen();
}

void TForm1::FormCreate() {
  // 1-2. Program directory, settings, the images named on the command line.
  // The computer is built here (its thread not yet running) because the
  // images go into its drives; its firmware is judged at step 10.
  ProgramDir = DirectoryOfProgram(Options);
  const TLocationEnv env = TLocationEnv::FromProcess();
  SettingsPath = SettingsFilePath(ProgramDir, env);
  if (!SettingsPath.empty()) Settings = ReadSettings(SettingsPath);
  ClampSettings(Settings);
  BASIC1->setChecked(Settings.BootMode == 0);
  DOS1->setChecked(Settings.BootMode != 0);
  Beep1->setChecked(Settings.Beep);
  LanguageEn1->setChecked(Settings.Language == "en");
  LanguageJa1->setChecked(Settings.Language != "en");
  Smooth1->setChecked(Settings.Smooth);
  Ddraw.Smooth = Settings.Smooth;
  Computer = std::make_unique<TComputer>(Host, Pacer, *this,
                                         FirmwareFolder(ProgramDir, Options.FirmwareDir, env).string() + "/");
  Computer->State.CpuWait.store(Settings.CpuWait);
  Computer->State.BootMode.store(Settings.BootMode);
  MountCommandLine(Options.Args, Computer->Drives, Computer->ImageNames);
  for (const std::string& a : Options.Args) NoteRecentImage(a);
  FillRecentMenu();
  const std::string stateFile = StateFileAmong(Options.Args);

  // 3. Files may be dropped from now on.
  setAcceptDrops(true);

  // 5. Full screen from the start.
  if (DspMode == 1) EnterFullScreenLayout();

  // 6. The presenter.
  SetDstRect();
  if (!Ddraw.Open(Picture, DspMode)) {
    ShowMessage(OpenFailedText());
    PostClose();
    return;
  }
  // 7-8.
  Ddraw.FillWork(0);
  ResetFrontState();
  // 9. The keyboard. The window takes it: a window manager hands it over when
  // the window appears, but without one nobody does, and the menu bar can
  // take the keyboard from the picture (Alt) only inside the active window.
  KeyFilter.Install();
  activateWindow();
  Picture->setFocus();
  // 10. The firmware.
  if (Computer->RomError()) {
    ShowMessage(RomFailedText());
    PostClose();
  }
  // 11-12. Run: from a state named on the command line, if it loads.
  const bool fromState = !stateFile.empty() && !Computer->RomError() && LoadStateNow(stateFile);
  Computer->Thread.Start(!fromState);
  ThreadStarted = true;
  StartTimer();
  SpeedTimer->start();
}

TForm1::~TForm1() {
  if (!Closed) close();
  StopTimer();
  KeyFilter.Remove();
  Timer.Stop();
  Computer.reset();
  Ddraw.Close();
  // QWidget's destructor deletes the children, which moves the focus and
  // would call the focus watcher on a window that is no longer a TForm1.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void TForm1::PostClose() {
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();

  File1 = bar->addMenu(tr("ファイル(&F)"));
  VFd1 = File1->addAction(tr("仮想ディスク(&F)..."));
  VTape1 = File1->addAction(tr("仮想テープ(&T)..."));
  RecentMenu1 = File1->addMenu(tr("最近使ったファイル"));
  connect(File1, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
  File1->addSeparator();
  StateSave1 = File1->addAction(tr("状態の保存(&S)..."));
  StateLoad1 = File1->addAction(tr("状態の読み込み(&L)..."));
  QuickSave1 = File1->addMenu(tr("クイック保存"));
  QuickLoad1 = File1->addMenu(tr("クイック読み込み"));
  for (int i = 0; i < 4; ++i) {
    const QString caption = QStringLiteral("&%1").arg(i + 1);
    QuickSaveItems[i] = QuickSave1->addAction(caption);
    QuickLoadItems[i] = QuickLoad1->addAction(caption);
    connect(QuickSaveItems[i], &QAction::triggered, this, [this, i] { QuickSaveClick(i + 1); });
    connect(QuickLoadItems[i], &QAction::triggered, this, [this, i] { QuickLoadClick(i + 1); });
  }
  connect(StateSave1, &QAction::triggered, this, [this] { StateSave1Click(); });
  connect(StateLoad1, &QAction::triggered, this, [this] { StateLoad1Click(); });
  File1->addSeparator();
  BmpSave1 = File1->addAction(tr("画面の保存(&S)..."));
  Print1 = File1->addAction(tr("印刷(&P)..."));
  File1->addSeparator();
  Exit1 = File1->addAction(tr("終了(&X)"));

  Edit1 = bar->addMenu(tr("編集(&E)"));
  Copy1 = Edit1->addAction(tr("コピー(&C)"));
  Paste1 = Edit1->addAction(tr("貼り付け(&P)"));

  Show1 = bar->addMenu(tr("表示(&V)"));
  Zoom1 = Show1->addMenu(tr("ズーム(&Z)"));
  FullScrn1 = Show1->addAction(tr("全画面表示(&A)"));
  FullScrn1->setCheckable(true);
  Smooth1 = Show1->addAction(tr("スムージング"));
  Smooth1->setCheckable(true);

  static const char* const ZoomCaptions[5] = {"50%", "75%", "100%", "150%", "200%"};
  auto* zoomGroup = new QActionGroup(this);
  ZoomPupMenu1 = new QMenu(this);
  auto* popGroup = new QActionGroup(this);
  for (int i = 0; i < 5; ++i) {
    ZoomItems[i] = Zoom1->addAction(QString::fromLatin1(ZoomCaptions[i]));
    ZoomItems[i]->setCheckable(true);
    zoomGroup->addAction(ZoomItems[i]);
    PZoomItems[i] = ZoomPupMenu1->addAction(QString::fromLatin1(ZoomCaptions[i]));
    PZoomItems[i]->setCheckable(true);
    popGroup->addAction(PZoomItems[i]);
    connect(ZoomItems[i], &QAction::triggered, this, [this, i] { SetZoom(i); });
    connect(PZoomItems[i], &QAction::triggered, this, [this, i] { SetZoom(i); });
  }
  ZoomItems[2]->setChecked(true);
  PZoomItems[2]->setChecked(true);

  S1 = bar->addMenu(tr("設定(&S)"));
  Paform1 = S1->addAction(tr("パフォーマンス(&P)..."));
  Timer1 = S1->addAction(tr("タイマ(&T)..."));
  Keybord1 = S1->addAction(tr("キーボード(&K)..."));
  S1->addSeparator();
  B1 = S1->addMenu(tr("起動モード(&B)"));
  auto* bootGroup = new QActionGroup(this);
  BASIC1 = B1->addAction(QStringLiteral("BASIC"));
  DOS1 = B1->addAction(QStringLiteral("DOS"));
  for (QAction* a : {BASIC1, DOS1}) {
    a->setCheckable(true);
    bootGroup->addAction(a);
  }
  BASIC1->setChecked(true);
  Beep1 = S1->addAction(tr("ビープ音"));
  Beep1->setCheckable(true);
  Beep1->setChecked(true);
  // The language menu reads the same in either language, and each language
  // is named in its own.
  Language1 = S1->addMenu(QStringLiteral("Language / 言語"));
  auto* languageGroup = new QActionGroup(this);
  LanguageJa1 = Language1->addAction(QStringLiteral("日本語"));
  LanguageEn1 = Language1->addAction(QStringLiteral("English"));
  for (QAction* a : {LanguageJa1, LanguageEn1}) {
    a->setCheckable(true);
    languageGroup->addAction(a);
  }
  (EnglishInUse() ? LanguageEn1 : LanguageJa1)->setChecked(true);
  connect(LanguageJa1, &QAction::triggered, this, [this] { LanguageClick("ja"); });
  connect(LanguageEn1, &QAction::triggered, this, [this] { LanguageClick("en"); });

  Operate1 = bar->addMenu(tr("操作(&O)"));
  Reset1 = Operate1->addAction(tr("リセット(&R)"));
  HotStart1 = Operate1->addAction(tr("ホットスタート(&H)"));
  Operate1->addSeparator();
  FullSpeed1 = Operate1->addAction(tr("全速(&W)"));
  FullSpeed1->setCheckable(true);

  Help1 = bar->addMenu(tr("ヘルプ(&H)"));
  Guide1 = Help1->addAction(tr("BASICの手引き(&B)"));
  Examples1 = Help1->addMenu(tr("サンプルプログラムを入力(&E)"));
  for (const QString& name : QDir(QStringLiteral(":/docs/examples")).entryList({QStringLiteral("*.bas")}, QDir::Files))
    connect(Examples1->addAction(name), &QAction::triggered, this,
            [this, name] { TypeExample(QStringLiteral(":/docs/examples/") + name); });
  Help1->addSeparator();
  About1 = Help1->addAction(tr("バージョン情報(&A)"));

  // The dialogs are attached by their own module; until then their items
  // stand disabled.
  for (QAction* a : {VFd1, VTape1, Paform1, Timer1, Keybord1, About1}) a->setEnabled(false);

  connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
  connect(Guide1, &QAction::triggered, this, [this] { Guide1Click(); });
  connect(BmpSave1, &QAction::triggered, this, [this] { BmpSave1Click(); });
  connect(Print1, &QAction::triggered, this, [this] { Print1Click(); });
  connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
  connect(Paste1, &QAction::triggered, this, [this] { Paste1Click(); });
  connect(Reset1, &QAction::triggered, this, [this] { Reset1Click(); });
  connect(HotStart1, &QAction::triggered, this, [this] { HotStart1Click(); });
  connect(BASIC1, &QAction::triggered, this, [this] { BASIC1Click(); });
  connect(DOS1, &QAction::triggered, this, [this] { DOS1Click(); });
  connect(Beep1, &QAction::triggered, this, [this] { Beep1Click(); });
  connect(Smooth1, &QAction::triggered, this, [this] { Smooth1Click(); });
  connect(FullSpeed1, &QAction::triggered, this, [this] { FullSpeed1Click(); });
  connect(FullScrn1, &QAction::triggered, this, [this] {
    FullScrn1->setChecked(DspMode == 1);  // the handler sets the check itself
    FullScrn1Click();
  });

  for (QMenu* m : {File1, RecentMenu1, QuickSave1, QuickLoad1, Edit1, Show1, Zoom1, S1, B1, Language1, Operate1, Help1, ZoomPupMenu1})
    WatchMenu(m);

  // Alt tapped alone gives the menu bar the keyboard (its titles are worked
  // with the arrow keys, Return and Esc) before any menu opens; that is a
  // menu loop too.
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { FollowMenuBarFocus(now); });
  // In full screen the menu bar is away; Alt brings it first, so that the
  // same Alt then works the menus.
  KeyFilter.OnAltDown = [this] {
    if (DspMode == 1 && !MenuShown && !Closed) ShowFullScreenMenuBar(true);
  };
}

QToolButton* TForm1::AddToolButton(const QIcon& icon, const QString& hint, QAction* same) {
  auto* b = new QToolButton(ToolBar1);
  b->setIcon(icon);
  b->setToolTip(hint);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  ToolBar1->addWidget(b);
  if (same) {
    connect(b, &QToolButton::clicked, same, &QAction::trigger);
    // A button whose command is not available is not either.
    b->setEnabled(same->isEnabled());
    connect(same, &QAction::changed, b, [b, same] { b->setEnabled(same->isEnabled()); });
  }
  return b;
}

void TForm1::BuildToolBar() {
  SpeedButton1 = AddToolButton(ToolIcon(TToolIcon::Disk), tr("仮想ディスク"), VFd1);
  SpeedButton2 = AddToolButton(ToolIcon(TToolIcon::Tape), tr("仮想テープ"), VTape1);
  SpeedButton7 = AddToolButton(ToolIcon(TToolIcon::SaveScreen), tr("画面の保存"), BmpSave1);
  ToolBar1->addSeparator();
  ToolButton1 = AddToolButton(ToolIcon(TToolIcon::Zoom), tr("ズーム"), nullptr);
  ToolButton1->setPopupMode(QToolButton::MenuButtonPopup);
  ToolButton1->setMenu(ZoomPupMenu1);
  connect(ToolButton1, &QToolButton::clicked, this, [this] { Zoom100Click(); });
  SpeedButton3 = AddToolButton(ToolIcon(TToolIcon::FullScreen), tr("全画面表示"), nullptr);
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { FullScrn1Click(); });
  ToolBar1->addSeparator();
  SpeedButton4 = AddToolButton(ToolIcon(TToolIcon::Performance), tr("パフォーマンス"), Paform1);
  SpeedButton6 = AddToolButton(ToolIcon(TToolIcon::Timer), tr("タイマ"), Timer1);
  ToolBar1->addSeparator();
  SpeedButton5 = AddToolButton(ToolIcon(TToolIcon::Reset), tr("リセット"), Reset1);
}

// While any menu is open the machine stands still: the first menu to open
// pauses, the last to close resumes (a submenu opens inside its parent).
void TForm1::WatchMenu(QMenu* menu) {
  connect(menu, &QMenu::aboutToShow, this, [this] { MenuLoopEnter(); });
  connect(menu, &QMenu::aboutToHide, this, [this] { MenuLoopExit(); });
}

void TForm1::MenuLoopEnter() {
  if (MenuDepth++ == 0) PauseEmulation();
}

void TForm1::MenuLoopExit() {
  if (MenuDepth == 0) return;
  if (--MenuDepth > 0) return;
  // Done with the menus: in full screen the bar goes away again.
  if (DspMode == 1 && MenuShown) ShowFullScreenMenuBar(false);
  ResumeEmulation();
}

void TForm1::FollowMenuBarFocus(QWidget* now) {
  const bool inBar = now && (now == menuBar() || qobject_cast<QMenu*>(now));
  if (inBar == BarLoop) return;
  BarLoop = inBar;
  if (inBar)
    MenuLoopEnter();
  else
    MenuLoopExit();
}

// Full screen: the menu bar shown or hidden; the screen goes black for the
// change and the mouse cursor is there only with the bar.
void TForm1::ShowFullScreenMenuBar(bool show) {
  Ddraw.FillWork(0);
  Ddraw.Flip();
  MenuShown = show;
  menuBar()->setVisible(show);
  if (show)
    unsetCursor();
  else
    setCursor(Qt::BlankCursor);
}

// Pausing nests: only the outermost pause stops the machine and only its
// resume starts it again, so pause and resume always come in pairs.
void TForm1::PauseEmulation() {
  ++PauseCount;
  if (PauseDepth++ > 0) return;
  DrawStop = true;
  SpeedBase = false;  // the time at rest is no part of the next figure
  if (ThreadStarted) Computer->Thread.Suspend();
  StopTimer();
  KeyFilter.Remove();
}

void TForm1::ResumeEmulation() {
  ++ResumeCount;
  if (PauseDepth == 0) return;
  if (--PauseDepth > 0) return;
  if (Closed) return;
  // Settings a dialog changed are in force from here on.
  if (Computer) {
    Computer->State.CpuWait.store(RunLoopCpuWait(Settings.CpuWait, FullSpeed));
    Computer->State.BootMode.store(Settings.BootMode);
  }
  KeyFilter.Install();
  StartTimer();
  if (ThreadStarted) Computer->Thread.Resume();
  DrawStop = false;
}

int TForm1::ShowModal(QDialog& dialog) {
  PauseEmulation();
  dialog.adjustSize();
  QRect screen = this->screen() ? this->screen()->geometry() : QRect(0, 0, 640, 480);
  dialog.move(screen.left() + (screen.width() - dialog.width()) / 2,
              screen.top() + (screen.height() - dialog.height()) / 2);
  int result = dialog.exec();
  ResumeEmulation();
  return result;
}

void TForm1::ResetFrontState() {
  DrawStop = false;
  InsLamp = 0;
  if (Computer) {
    Computer->State.HotStartReq.store(0);
    Computer->State.InsLampReq.store(INS_LAMP_NONE);
    Computer->Keyboard.ResetFrontState();
  }
  RepaintLamps();
  if (DspMode == 0) SavedClientSize = ClientSize();
}

void TForm1::RepaintLamps() {
  StatusBar1->InsLamp = InsLamp;
  StatusBar1->KanaLamp = Computer && Computer->Keyboard.KanaMode ? 1 : 0;
  StatusBar1->update();
}

QSize TForm1::ClientSize() const { return centralWidget()->size(); }

void TForm1::SetClientSize(const QSize& client) {
  int menuHeight = 0;
  if (!menuBar()->isHidden()) {
    menuHeight = menuBar()->heightForWidth(client.width());
    if (menuHeight < 0) menuHeight = menuBar()->sizeHint().height();
  }
  resize(client.width(), client.height() + menuHeight);
}

void TForm1::CentreOnScreen() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  QRect area = s->geometry();
  QRect frame = frameGeometry();
  move(area.left() + (area.width() - frame.width()) / 2,
       area.top() + (area.height() - frame.height()) / 2);
}

void TForm1::SetDstRect() {
  Ddraw.DstRect = TDdraw::PictureRect(Picture->size(), DspMode == 1);
  Picture->update();
}

void TForm1::SetZoom(int step) {
  // Zoom is a window matter; in full screen nothing changes, not the checks.
  if (DspMode == 1) {
    ZoomItems[ZoomStep]->setChecked(true);
    PZoomItems[ZoomStep]->setChecked(true);
    return;
  }
  ZoomStep = step;
  QSize pic = ZoomSizes[step];
  SavedClientSize = QSize(pic.width(), pic.height() + ToolBarHeight + StatusBarHeight);
  SetClientSize(SavedClientSize);
  SetDstRect();
  ZoomItems[step]->setChecked(true);
  PZoomItems[step]->setChecked(true);
}

void TForm1::OpenPresenter() {
  if (Ddraw.Open(Picture, DspMode)) {
    if (StatusBar1->Text() == OpenFailedText())
      StatusBar1->SetText(QString());
  } else {
    // No picture: the area stays black and the status bar says why.
    Ddraw.Close();
    StatusBar1->SetText(OpenFailedText());
  }
  SetDstRect();
}

void TForm1::EnterFullScreenLayout() {
  menuBar()->hide();
  ToolBar1->hide();
  StatusBar1->hide();
  setCursor(Qt::BlankCursor);
  FullScrn1->setChecked(true);
  DspMode = 1;
  MenuShown = false;
  showFullScreen();
  // Without a window manager (a bare X server) nobody else makes the window
  // cover the screen.
  if (QScreen* sc = screen()) setGeometry(sc->geometry());
}

void TForm1::LeaveFullScreenLayout() {
  RestoreWindowLayout();
  DspMode = 0;
}

void TForm1::FullScrn1Click() {
  // The machine stands still while the window changes shape; the keyboard
  // filter stays in place.
  DrawStop = true;
  SpeedBase = false;
  StopTimer();
  if (ThreadStarted) Computer->Thread.Suspend();
  Ddraw.Close();
  if (DspMode == 1)
    LeaveFullScreenLayout();
  else
    EnterFullScreenLayout();
  SetDstRect();
  OpenPresenter();
  if (Ddraw.IsOpen()) Ddraw.FillWork(0);
  if (ThreadStarted) Computer->Thread.Resume();
  if (!Paused()) StartTimer();
  DrawStop = Paused();
  if (Computer) Computer->Timer.FlipPending.store(false);
}

// The schedules start from now with the periods of the current settings;
// the timer thread then ticks them every timer-resolution milliseconds. At
// full speed it ticks only the frames, and the emulation thread ticks the
// interrupts on machine time, which starts from the host's now. The
// schedules and the pacer change hands only while the emulation thread
// rests.
void TForm1::StartTimer() {
  if (!Computer || Closed || Paused()) return;
  TTimerSchedule& schedule = Computer->Timer;
  const uint32_t now = THostTimer::NowMs();
  if (ThreadStarted) Computer->Thread.Suspend();
  schedule.StartTimer(Settings, now);
  Computer->State.CpuWait.store(RunLoopCpuWait(Settings.CpuWait, FullSpeed));
  using TParts = TTimerSchedule::TParts;
  if (FullSpeed)
    Pacer.StartFullSpeed(now, schedule.Resolution(),
                         [&schedule](uint32_t t) { schedule.TimerTick(t, TParts::Interrupts); });
  else
    Pacer.StopFullSpeed();
  if (ThreadStarted) Computer->Thread.Resume();
  const TParts parts = FullSpeed ? TParts::Frames : TParts::All;
  Timer.Start(schedule.Resolution(), [&schedule, parts](uint32_t t) { schedule.TimerTick(t, parts); });
}

void TForm1::StopTimer() {
  Timer.Stop();
  if (!Computer) return;
  if (ThreadStarted) Computer->Thread.Suspend();
  Computer->Timer.StopTimer();
  Pacer.StopFullSpeed();
  if (ThreadStarted) Computer->Thread.Resume();
}

void TForm1::FullSpeed1Click() {
  PauseEmulation();
  FullSpeed = FullSpeed1->isChecked();
  ResumeEmulation();
}

void TForm1::Smooth1Click() {
  Settings.Smooth = Smooth1->isChecked();
  Ddraw.Smooth = Settings.Smooth;
  Picture->update();
}

void TForm1::ShowSpeed() {
  if (!Computer || !ThreadStarted || Paused()) return;
  const uint64_t passes = Computer->Thread.PassCount();
  if (SpeedBase) {
    const int percent = SpeedPercent(passes - SpeedPasses, SpeedClock.nsecsElapsed() / 1e6, Settings.CpuWait);
    StatusBar1->SetSpeedText(
        (FullSpeed ? tr("全速 %1%") : tr("速度 %1%")).arg(percent));
  }
  SpeedPasses = passes;
  SpeedClock.restart();
  SpeedBase = true;
}

void TForm1::NoteRecentImage(const std::string& path) {
  if (!Computer || path.empty() || path.front() == '-') return;
  const TImageKind kind = ImageKindOf(path);
  const TImageNames& names = Computer->ImageNames;
  if ((kind == TImageKind::Disk && Computer->Drives.DiskMounted(0) && names.Drive0 == path) ||
      (kind == TImageKind::Tape && Computer->Drives.TapeMounted() && names.Tape == path))
    AddRecent(Settings.Recent, path);
}

void TForm1::FillRecentMenu() {
  RecentMenu1->clear();
  for (size_t i = 0; i < Settings.Recent.size(); ++i) {
    QString path = QString::fromStdString(Settings.Recent[i]);
    QAction* item = RecentMenu1->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(path.replace(QLatin1Char('&'), QStringLiteral("&&"))));
    connect(item, &QAction::triggered, this, [this, p = Settings.Recent[i]] { RecentClick(p); });
  }
  RecentMenu1->menuAction()->setEnabled(!Settings.Recent.empty());
}

void TForm1::RecentClick(const std::string& path) {
  if (!Computer) return;
  const bool tape = RecentIsTape(path);
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  const TImageKind kind = exists ? ImageKindOf(path) : TImageKind::None;
  bool mounted = false;
  if (kind == TImageKind::Disk || kind == TImageKind::Tape) {
    // The drive's image changes only while the machine stands still.
    PauseEmulation();
    MountImage(path, Computer->Drives, Computer->ImageNames);
    ResumeEmulation();
    mounted = kind == TImageKind::Disk ? Computer->Drives.DiskMounted(0) : Computer->Drives.TapeMounted();
  }
  if (mounted)
    AddRecent(Settings.Recent, path);
  else if (!exists || kind == TImageKind::None || kind == TImageKind::State)
    RemoveRecent(Settings.Recent, path);
  // The menu is filled again when it next opens (not here: this runs in
  // one of its items).
  if (!mounted) ShowMessage(tape ? TapeOpenFailedText() : DiskOpenFailedText());
}

bool TForm1::PasteInProgress() const { return Computer && Computer->Keyboard.PasteInProgress(); }

// Both are called on the host timer's thread (or the emulation thread at
// full speed).
void TForm1::PostFlip() { PostFromThread(this, new QEvent(HostEventType(WM_FLIP))); }

void TForm1::PostPasteChar() { PostFromThread(this, new QEvent(HostEventType(WM_PASTECHAR))); }

bool TForm1::event(QEvent* e) {
  ReceiveEvent(e);
  switch (static_cast<int>(e->type())) {
    case WM_FLIP:
      DrawFrame();
      return true;
    case WM_HOSTKEYDOWN:
    case WM_HOSTKEYUP:
      HandleKey(e);
      return true;
    case WM_BEEP:
      Host.BeepPending.store(false);
      if (Settings.Beep && !Closed) Beeper.Play();
      return true;
    case WM_PASTECHAR:
      // While paused no code goes out; the step comes again once the timer
      // runs, so nothing of the text is lost.
      if (!DrawStop && Computer) Computer->Keyboard.PasteStep();
      return true;
    default:
      return QMainWindow::event(e);
  }
}

void TForm1::DrawFrame() {
  if (!Computer) return;
  std::atomic<bool>& pending = Computer->Timer.FlipPending;
  if (DrawStop) {
    pending.store(false);
    return;
  }
  TMachineState& st = Computer->State;
  if (st.CrtOn.load(std::memory_order_relaxed) == 0)
    Ddraw.FillWork(0);
  else
    Ddraw.DrawScreen(st.PixelBuffer, RepeatWord(st.DisplayPlanes.load(std::memory_order_relaxed)),
                     st.Palette);
  if (!Ddraw.Flip()) Ddraw.RestoreSurfaces();
  ++FramesDrawn;
  if (st.Vtp.TakeWriteFailure()) StatusBar1->SetText(TapeWriteFailedText());
  // The lamps ride on the frame.
  uint32_t ins = st.TakeInsLampReq();
  if (ins == INS_LAMP_ON) InsLamp = 1;
  if (ins == INS_LAMP_OFF) InsLamp = 0;
  if (ins != INS_LAMP_NONE || Computer->Keyboard.KanaChanged) {
    Computer->Keyboard.KanaChanged = false;
    RepaintLamps();
  }
  pending.store(false);
}

void TForm1::HandleKey(const QEvent* e) {
  if (!Computer) return;
  const auto* k = static_cast<const THostKeyEvent*>(e);
  if (e->type() == HostEventType(WM_HOSTKEYUP)) {
    // Releases always count, so BREAK never stays held.
    Computer->Keyboard.KeyUp(k->Vk, Settings.KeyCh_ESC);
    return;
  }
  // A press still queued when the machine paused is dropped.
  if (DrawStop) return;
  THostKeyState ks = KeyFilter.KeyState();
  TKeyModifiers m;
  m.Shift = ks.Shift;
  m.Ctrl = ks.Ctrl;
  m.CapsLock = ks.CapsLock;
  if (Settings.KeyByChar && k->Char != 0 && Computer->Keyboard.KeyDownAsSymbol(k->Char, m)) return;
  Computer->Keyboard.KeyDown(k->Vk, k->Flags, m, Settings.KeyCh_ESC);
}

void TForm1::Reset1Click() {
  ResetFrontState();
  if (Computer) Computer->State.RequestReset(false);
}

void TForm1::HotStart1Click() {
  ResetFrontState();
  if (Computer) Computer->State.RequestReset(true);
}

void TForm1::BASIC1Click() {
  Settings.BootMode = 0;
  if (Computer) Computer->State.BootMode.store(0);
  BASIC1->setChecked(true);
}

void TForm1::DOS1Click() {
  Settings.BootMode = 1;
  if (Computer) Computer->State.BootMode.store(1);
  DOS1->setChecked(true);
}

void TForm1::Beep1Click() {
  Settings.Beep = !Settings.Beep;
  Beep1->setChecked(Settings.Beep);
  if (!Settings.Beep) Beeper.Stop();
}

void TForm1::LanguageClick(const std::string& language) {
  Settings.Language = language;
  (language == "en" ? LanguageEn1 : LanguageJa1)->setChecked(true);
  // The window is built in one language; the other comes with the next
  // start. Said in the language chosen.
  if ((language == "en") != EnglishInUse())
    StatusBar1->SetText(language == "en" ? QStringLiteral("English takes effect at the next start.")
                                         : QStringLiteral("日本語は次回の起動から有効になります。"));
  else
    StatusBar1->SetText(QString());
}

std::string TForm1::StartLanguage(const TForm1Options& options) {
  const std::filesystem::path ini = SettingsFilePath(DirectoryOfProgram(options), TLocationEnv::FromProcess());
  return ini.empty() ? std::string("ja") : ReadSettings(ini).Language;
}

void TForm1::BmpSave1Click() {
  PauseEmulation();
  QString path = AskSaveFileName();
  if (!path.isEmpty()) {
    bool write = true;
    QFileInfo info(path);
    if (info.exists())
      write = AskYesNo(tr("\"%1\"\n同じ名前のファイルがあります。上書きしますか？").arg(info.fileName()));
    if (write && Computer) {
      std::string error = SavePicture(CaptureScreen(Computer->State), path.toStdString());
      if (!error.empty()) ShowMessage(QString::fromLocal8Bit(error.c_str()));
    }
  }
  ResumeEmulation();
}

// The capture picture as an indexed image of the eight machine colours.
static QImage CapturePictureImage(const TCapturePicture& picture) {
  QImage img(TCapturePicture::Width, TCapturePicture::Height, QImage::Format_Indexed8);
  QList<QRgb> colours;
  for (unsigned c = 0; c < 8; ++c) {
    TRgb rgb = CaptureRgb(c);
    colours.append(qRgb(rgb.R, rgb.G, rgb.B));
  }
  img.setColorTable(colours);
  for (int y = 0; y < TCapturePicture::Height; ++y)
    std::memcpy(img.scanLine(y), picture.Pixels.data() + static_cast<size_t>(y) * TCapturePicture::Width,
                TCapturePicture::Width);
  return img;
}

static QSize PrintedSize(const QSize& page) {
  // The page's width, the picture's shape; the page's height if that is
  // too tall.
  int w = page.width();
  int h = static_cast<int>(int64_t(w) * 400 / 640);
  if (h > page.height()) {
    h = page.height();
    w = static_cast<int>(int64_t(h) * 640 / 400);
  }
  return QSize(w, h);
}

void TForm1::Print1Click() {
  PauseEmulation();
  QPrinter printer(QPrinter::HighResolution);
  if (AskPrinter(printer) && Computer) {
    // 300 dots per inch give each machine pixel several dots on paper; more
    // would only make the page's picture enormous.
    if (printer.resolution() > 300) printer.setResolution(300);
    QImage picture = CapturePictureImage(CaptureScreen(Computer->State));
    QSize size = PrintedSize(QSize(printer.width(), printer.height()));
    QImage fitted = size.isEmpty() ? QImage()
                                   : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                         .convertToFormat(QImage::Format_RGB32);
    // Copies are pages of one job; the printer must not multiply them again.
    int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    QPainter painter;
    if (fitted.isNull() || !painter.begin(&printer)) {
      ShowMessage(tr("印刷を開始できませんでした。"));
    } else {
      // Stored losslessly, so the page shows exactly the eight colours.
      painter.setRenderHint(QPainter::LosslessImageRendering, true);
      bool ok = true;
      for (int i = 0; i < copies && ok; ++i) {
        if (i != 0) ok = printer.newPage();
        if (ok) painter.drawImage(0, 0, fitted);
      }
      if (!painter.end() || !ok) ShowMessage(tr("印刷できませんでした。"));
    }
  }
  ResumeEmulation();
}

void TForm1::Copy1Click() {
  if (!Computer) return;
  // The text is read between two passes of the emulation thread, so no line
  // is caught half written; the machine stops for microseconds only.
  bool rest = ThreadStarted && !Paused();
  if (rest) Computer->Thread.Suspend();
  std::string text = CopyTextScreen(*Computer->Thread.Scpu);
  if (rest) Computer->Thread.Resume();
  while (!text.empty() && text.back() == '\0') text.pop_back();
  QApplication::clipboard()->setText(FromShiftJis(text));
}

void TForm1::Paste1Click() {
  if (!Computer) return;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return;
  // Text on this desktop ends its lines with LF alone; the machine gets the
  // CR LF of a text clipboard.
  QString text = data->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  QByteArray bytes = ToShiftJis(text);
  Computer->Keyboard.StartPaste(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void TForm1::Guide1Click() {
  if (!GuideWindow) {
    QFile guide(QStringLiteral(":/docs/basic.md"));
    guide.open(QIODevice::ReadOnly);
    GuideWindow = new QTextBrowser(this);
    GuideWindow->setWindowFlag(Qt::Window);  // beside the machine, not on it
    GuideWindow->setWindowTitle(tr("BASICの手引き"));
    GuideWindow->setOpenExternalLinks(true);
    GuideWindow->setMarkdown(QString::fromUtf8(guide.readAll()));
    GuideWindow->resize(720, 560);
  }
  GuideWindow->show();
  GuideWindow->raise();
  GuideWindow->activateWindow();
}

void TForm1::TypeExample(const QString& resource) {
  if (!Computer) return;
  QFile file(resource);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray text = file.readAll();
  std::vector<std::string> warnings;
  std::string keys = TextFileToKeys(std::string(text.constData(), static_cast<size_t>(text.size())), warnings);
  if (!keys.empty()) Computer->Keyboard.StartPaste(std::move(keys));
}

void TForm1::DropFiles(const std::vector<std::string>& paths) {
  if (paths.empty() || !Computer) return;
  // A listing (.bas, .txt) is typed in through the paste path; what the
  // keyboard cannot type is left out, and a file that cannot be read types
  // nothing.
  if (IsFileToType(paths.front())) {
    std::string keys;
    std::vector<std::string> warnings;
    if (ReadFileToType(paths.front(), keys, warnings).empty() && !keys.empty())
      Computer->Keyboard.StartPaste(std::move(keys));
    return;
  }
  // The drive's image changes only while the machine stands still.
  PauseEmulation();
  if (ImageKindOf(paths.front()) == TImageKind::State)
    LoadStateNow(paths.front());
  else
    ::DropFiles(paths, Computer->Drives, Computer->ImageNames);
  ResumeEmulation();
  NoteRecentImage(paths.front());
  FillRecentMenu();
}

std::filesystem::path TForm1::QuickSlotPath(int slot) const {
  if (SettingsPath.empty()) return {};
  return SettingsPath.parent_path() / "states" / ("quick" + std::to_string(slot) + ".qst");
}

bool TForm1::SaveStateNow(const std::string& path) {
  if (!Computer) return false;
  TFrontState front;
  front.InsLamp = InsLamp;
  const TStateError e = SaveComputerStateFile(*Computer, front, THostTimer::NowMs(), path);
  const QString name = QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName();
  if (e != TStateError::None) {
    const QString text = name + QStringLiteral(": ") + QString::fromStdString(StateErrorText(e, !EnglishInUse()));
    StatusBar1->SetText(text);
    ShowMessage(text);
    return false;
  }
  StatusBar1->SetText(tr("状態を保存しました: %1").arg(name));
  return true;
}

bool TForm1::LoadStateNow(const std::string& path) {
  if (!Computer) return false;
  const TStateLoad l = LoadComputerStateFile(*Computer, path, THostTimer::NowMs());
  const QString name = QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName();
  if (l.Error != TStateError::None) {
    const QString text = name + QStringLiteral(": ") + QString::fromStdString(StateErrorText(l.Error, !EnglishInUse()));
    StatusBar1->SetText(text);
    ShowMessage(text);
    return false;
  }
  InsLamp = l.Front.InsLamp;
  RepaintLamps();
  Computer->Timer.FlipPending.store(false);
  QString text = tr("状態を読み込みました: %1").arg(name);
  if (!l.Notes.empty()) {
    QString notes;
    for (const TStateNote& n : l.Notes) notes += QString::fromStdString(StateNoteText(n, !EnglishInUse())) + QLatin1Char('\n');
    text += QStringLiteral(" ") + notes.trimmed().replace(QLatin1Char('\n'), QLatin1Char(' '));
    ShowMessage(notes.trimmed());
  }
  StatusBar1->SetText(text);
  return true;
}

void TForm1::StateSave1Click() {
  PauseEmulation();
  const QString path = AskStateFileName(true);
  if (!path.isEmpty()) SaveStateNow(QFile::encodeName(path).toStdString());
  ResumeEmulation();
}

void TForm1::StateLoad1Click() {
  PauseEmulation();
  const QString path = AskStateFileName(false);
  if (!path.isEmpty()) LoadStateNow(QFile::encodeName(path).toStdString());
  ResumeEmulation();
}

void TForm1::QuickSaveClick(int slot) {
  const std::filesystem::path p = QuickSlotPath(slot);
  if (p.empty()) return;
  PauseEmulation();
  std::error_code ec;
  std::filesystem::create_directories(p.parent_path(), ec);
  SaveStateNow(p.string());
  ResumeEmulation();
}

void TForm1::QuickLoadClick(int slot) {
  const std::filesystem::path p = QuickSlotPath(slot);
  if (p.empty()) return;
  PauseEmulation();
  if (std::filesystem::exists(p))
    LoadStateNow(p.string());
  else
    StatusBar1->SetText(tr("クイック読み込み%1: 保存された状態がありません。").arg(slot));
  ResumeEmulation();
}

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e) {
  std::vector<std::string> paths;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  DropFiles(paths);
  e->acceptProposedAction();
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (Closed) {
    e->accept();
    return;
  }
  Closed = true;
  // 1. Frames, timer, keyboard.
  DrawStop = true;
  StopTimer();
  KeyFilter.Remove();
  // 2. Settings, with the display mode the window is in.
  if (!SettingsPath.empty()) {
    // The settings folder under the home folder may not exist yet.
    std::error_code ec;
    std::filesystem::create_directories(SettingsPath.parent_path(), ec);
    WriteSettings(SettingsPath, Settings);
  }
  // 3-4. The thread ends (resumed first if it rests), then the images close.
  if (Computer) {
    Computer->Thread.Terminate();
    CloseAllImages(Computer->Drives);
  }
  // 5. The presenter.
  Ddraw.Close();
  // 6. The window gets its normal shape back before it goes.
  if (DspMode == 1) RestoreWindowLayout();
  e->accept();
}

void TForm1::RestoreWindowLayout() {
  showNormal();
  menuBar()->show();
  ToolBar1->show();
  StatusBar1->show();
  unsetCursor();
  FullScrn1->setChecked(false);
  SetClientSize(SavedClientSize);
  CentreOnScreen();
}
