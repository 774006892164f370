// The main window: layout, menus, tool bar, status bar, zoom, full screen and
// the pause that holds the machine still while a menu or dialog is open.
#include "Mainform.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "Toolicons.h"

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

QRect TStatusBar::PanelRect(int panel) const {
  // Panel 0 takes what the three fixed panels at the right leave.
  int w = width();
  int x1 = std::max(0, w - 2 * LampWidth - LastWidth);
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
  p.drawText(QRect(inner.left() + 18, inner.top() + 2, inner.width() - 18, inner.height() - 2),
             Qt::AlignLeft | Qt::AlignTop, label);
}

void TStatusBar::paintEvent(QPaintEvent*) {
  ++RepaintCount;
  QPainter p(this);
  p.setPen(Qt::black);
  QRect r0 = PanelRect(0).adjusted(3, 0, -3, 0);
  p.drawText(r0, Qt::AlignLeft | Qt::AlignVCenter, Panel0Text);
  DrawLampPanel(p, PanelRect(1), KanaLamp, QStringLiteral("カナ"));
  DrawLampPanel(p, PanelRect(2), InsLamp, QStringLiteral("INS"));
}

// ------------------------------------------------------------------ TForm1

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), KeyFilter(this) {
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

  BuildMenus();
  BuildToolBar();

  SetClientSize(QSize(ZoomSizes[2].width(), ZoomSizes[2].height() + ToolBarHeight + StatusBarHeight));
  CentreOnScreen();
  OpenPresenter();
  Ddraw.FillWork(0);
  ResetFrontState();
  KeyFilter.Install();
}

TForm1::~TForm1() {
  KeyFilter.Remove();
  Ddraw.Close();
}

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();

  File1 = bar->addMenu(QStringLiteral("ファイル(&F)"));
  VFd1 = File1->addAction(QStringLiteral("仮想ディスク(&F)..."));
  VTape1 = File1->addAction(QStringLiteral("仮想テープ(&T)..."));
  File1->addSeparator();
  BmpSave1 = File1->addAction(QStringLiteral("画面の保存(&S)..."));
  Print1 = File1->addAction(QStringLiteral("印刷(&P)..."));
  File1->addSeparator();
  Exit1 = File1->addAction(QStringLiteral("終了(&X)"));

  Edit1 = bar->addMenu(QStringLiteral("編集(&E)"));
  Copy1 = Edit1->addAction(QStringLiteral("コピー(&C)"));
  Paste1 = Edit1->addAction(QStringLiteral("貼り付け(&P)"));

  Show1 = bar->addMenu(QStringLiteral("表示(&V)"));
  Zoom1 = Show1->addMenu(QStringLiteral("ズーム(&Z)"));
  FullScrn1 = Show1->addAction(QStringLiteral("全画面表示(&A)"));
  FullScrn1->setCheckable(true);

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

  S1 = bar->addMenu(QStringLiteral("設定(&S)"));
  Paform1 = S1->addAction(QStringLiteral("パフォーマンス(&P)..."));
  Timer1 = S1->addAction(QStringLiteral("タイマ(&T)..."));
  Keybord1 = S1->addAction(QStringLiteral("キーボード(&K)..."));
  S1->addSeparator();
  B1 = S1->addMenu(QStringLiteral("起動モード(&B)"));
  auto* bootGroup = new QActionGroup(this);
  BASIC1 = B1->addAction(QStringLiteral("BASIC"));
  DOS1 = B1->addAction(QStringLiteral("DOS"));
  for (QAction* a : {BASIC1, DOS1}) {
    a->setCheckable(true);
    bootGroup->addAction(a);
  }
  BASIC1->setChecked(true);

  Operate1 = bar->addMenu(QStringLiteral("操作(&O)"));
  Reset1 = Operate1->addAction(QStringLiteral("リセット(&R)"));
  HotStart1 = Operate1->addAction(QStringLiteral("ホットスタート(&H)"));

  Help1 = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
  About1 = Help1->addAction(QStringLiteral("バージョン情報(&A)"));

  // The dialogs are attached by their own module; until then their items
  // stand disabled.
  for (QAction* a : {VFd1, VTape1, Paform1, Timer1, Keybord1, About1}) a->setEnabled(false);

  connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
  connect(FullScrn1, &QAction::triggered, this, [this] {
    FullScrn1->setChecked(DspMode == 1);  // the handler sets the check itself
    FullScrn1Click();
  });

  for (QMenu* m : {File1, Edit1, Show1, Zoom1, S1, B1, Operate1, Help1, ZoomPupMenu1}) WatchMenu(m);
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
  SpeedButton1 = AddToolButton(ToolIcon(TToolIcon::Disk), QStringLiteral("仮想ディスク"), VFd1);
  SpeedButton2 = AddToolButton(ToolIcon(TToolIcon::Tape), QStringLiteral("仮想テープ"), VTape1);
  SpeedButton7 = AddToolButton(ToolIcon(TToolIcon::SaveScreen), QStringLiteral("画面の保存"), BmpSave1);
  ToolBar1->addSeparator();
  ToolButton1 = AddToolButton(ToolIcon(TToolIcon::Zoom), QStringLiteral("ズーム"), nullptr);
  ToolButton1->setPopupMode(QToolButton::MenuButtonPopup);
  ToolButton1->setMenu(ZoomPupMenu1);
  connect(ToolButton1, &QToolButton::clicked, this, [this] { Zoom100Click(); });
  SpeedButton3 = AddToolButton(ToolIcon(TToolIcon::FullScreen), QStringLiteral("全画面表示"), nullptr);
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { FullScrn1Click(); });
  ToolBar1->addSeparator();
  SpeedButton4 = AddToolButton(ToolIcon(TToolIcon::Performance), QStringLiteral("パフォーマンス"), Paform1);
  SpeedButton6 = AddToolButton(ToolIcon(TToolIcon::Timer), QStringLiteral("タイマ"), Timer1);
  ToolBar1->addSeparator();
  SpeedButton5 = AddToolButton(ToolIcon(TToolIcon::Reset), QStringLiteral("リセット"), Reset1);
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
  if (--MenuDepth == 0) ResumeEmulation();
}

// Pausing nests: only the outermost pause stops the machine and only its
// resume starts it again, so pause and resume always come in pairs.
void TForm1::PauseEmulation() {
  ++PauseCount;
  if (PauseDepth++ > 0) return;
  DrawStop = true;
  KeyFilter.Remove();
}

void TForm1::ResumeEmulation() {
  ++ResumeCount;
  if (PauseDepth == 0) return;
  if (--PauseDepth > 0) return;
  KeyFilter.Install();
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
  KanaMode = 0;
  KanaChanged = false;
  StatusBar1->InsLamp = InsLamp;
  StatusBar1->KanaLamp = KanaMode;
  StatusBar1->update();
  if (DspMode == 0) SavedClientSize = ClientSize();
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
    if (StatusBar1->Text() == QStringLiteral("DirectDrawの初期化に失敗しました。"))
      StatusBar1->SetText(QString());
  } else {
    // No picture: the area stays black and the status bar says why.
    Ddraw.Close();
    StatusBar1->SetText(QStringLiteral("DirectDrawの初期化に失敗しました。"));
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
}

void TForm1::LeaveFullScreenLayout() {
  showNormal();
  menuBar()->show();
  ToolBar1->show();
  StatusBar1->show();
  unsetCursor();
  FullScrn1->setChecked(false);
  DspMode = 0;
  SetClientSize(SavedClientSize);
  CentreOnScreen();
}

void TForm1::FullScrn1Click() {
  DrawStop = true;
  Ddraw.Close();
  if (DspMode == 1)
    LeaveFullScreenLayout();
  else
    EnterFullScreenLayout();
  SetDstRect();
  OpenPresenter();
  if (Ddraw.IsOpen()) Ddraw.FillWork(0);
  DrawStop = Paused();
}

void TForm1::keyPressEvent(QKeyEvent* e) {
  // Alt in full screen shows and hides the menu bar; the screen goes black
  // for the change.
  if (e->key() == Qt::Key_Alt && DspMode == 1 && !e->isAutoRepeat()) {
    Ddraw.FillWork(0);
    Ddraw.Flip();
    MenuShown = !MenuShown;
    menuBar()->setVisible(MenuShown);
    if (MenuShown)
      unsetCursor();
    else
      setCursor(Qt::BlankCursor);
    e->accept();
    return;
  }
  QMainWindow::keyPressEvent(e);
}
