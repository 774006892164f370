// The main window's dialog commands.
#include "Dialogmenus.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

#include "Aboutform.h"
#include "Debugform.h"
#include "Keyform.h"
#include "Mainform.h"
#include "Paform.h"
#include "RecentFiles.h"
#include "Timeform.h"

namespace {
// The window's recent images, told apart by name.
class TWindowRecentImages : public TRecentImages {
 public:
  explicit TWindowRecentImages(TForm1& form) : Form(form) {}
  QStringList Paths(bool tapes) const override {
    QStringList paths;
    for (const std::string& p : Form.Settings.Recent)
      if (RecentIsTape(p) == tapes) paths << QString::fromStdString(p);
    return paths;
  }
  void Forget(const QString& path) override { RemoveRecent(Form.Settings.Recent, path.toStdString()); }

 private:
  TForm1& Form;
};
}  // namespace

TDialogMenus::TDialogMenus(TForm1& form)
    : QObject(&form), Form(form), Recent(std::make_unique<TWindowRecentImages>(form)) {
  const std::pair<QAction*, void (TDialogMenus::*)()> items[] = {
      {form.VFd1, &TDialogMenus::VFd1Click},         {form.VTape1, &TDialogMenus::VTape1Click},
      {form.Paform1, &TDialogMenus::Paform1Click},   {form.Timer1, &TDialogMenus::Timer1Click},
      {form.Keybord1, &TDialogMenus::Keybord1Click}, {form.About1, &TDialogMenus::About1Click}};
  for (const auto& [action, handler] : items) {
    connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
    action->setEnabled(true);
  }
  Debug1 = new QAction(TDialogMenus::tr("デバッグウィンドウ(&D)"), &form);
  Debug1->setObjectName(QStringLiteral("Debug1"));
  Debug1->setShortcut(QKeySequence(Qt::Key_F11));
  form.Show1->addSeparator();
  form.Show1->addAction(Debug1);
  form.addAction(Debug1);  // the shortcut works while the menu bar is hidden
  form.KeyFilter.WindowKey = Qt::Key_F11;
  connect(Debug1, &QAction::triggered, this, [this] { Debug1Click(); });
  // The debug window closes before the window takes the machine down.
  form.installEventFilter(this);
}

TDialogMenus::~TDialogMenus() = default;

bool TDialogMenus::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &Form && event->type() == QEvent::Close && DebugForm1) DebugForm1->close();
  return QObject::eventFilter(watched, event);
}

bool TDialogMenus::HaveComputer() const { return Form.Computer != nullptr; }

void TDialogMenus::VFd1Click() {
  if (!HaveComputer()) return;
  if (!VfdForm1) {
    Disks = std::make_unique<TDiskDeckOf<TVfd>>(Form.Computer->State.Vfd);
    VfdForm1 = new TVfdForm1(*Disks, Form.Computer->ImageNames.Drive0, Form.Computer->ImageNames.Drive1, &Form);
    VfdForm1->Recent = Recent.get();
  }
  if (Form.ShowModal(*VfdForm1) != QDialog::Accepted) return;
  // Drive 1 first, so that drive 0's image heads the list.
  const std::string& drive1 = Form.Computer->ImageNames.Drive1;
  if (Disks->DiskMounted(1) && ImageKindOf(drive1) == TImageKind::Disk) AddRecent(Form.Settings.Recent, drive1);
  Form.NoteRecentImage(Form.Computer->ImageNames.Drive0);
}

void TDialogMenus::VTape1Click() {
  if (!HaveComputer()) return;
  if (!VtpForm1) {
    Tape = std::make_unique<TTapeDeckOf<TVtp>>(Form.Computer->State.Vtp);
    VtpForm1 = new TVtpForm1(*Tape, Form.Computer->ImageNames.Tape, &Form);
    VtpForm1->Recent = Recent.get();
  }
  if (Form.ShowModal(*VtpForm1) == QDialog::Accepted) Form.NoteRecentImage(Form.Computer->ImageNames.Tape);
}

namespace {
template <class Dialog>
Dialog* Made(Dialog*& dialog, QWidget* parent) {
  if (!dialog) dialog = new Dialog(parent);
  return dialog;
}
}  // namespace

void TDialogMenus::Paform1Click() {
  Made(PaformForm1, &Form)->Run(Form.Settings, [this](QDialog& d) { return Form.ShowModal(d); });
}

void TDialogMenus::Timer1Click() {
  Made(TimerForm1, &Form)->Run(Form.Settings, [this](QDialog& d) { return Form.ShowModal(d); });
}

void TDialogMenus::Keybord1Click() {
  Made(KeybordForm1, &Form)->Run(Form.Settings, [this](QDialog& d) { return Form.ShowModal(d); });
}

void TDialogMenus::About1Click() { Form.ShowModal(*Made(AboutForm1, &Form)); }

void TDialogMenus::Debug1Click() {
  if (!HaveComputer()) return;
  if (!DebugForm1) {
    DebugLink = std::make_unique<TDebugLinkOf<TMcpuThread>>(Form.Computer->Thread);
    DebugForm1 = new TDebugForm1(*DebugLink, &Form);
  }
  DebugForm1->show();
  DebugForm1->raise();
  DebugForm1->activateWindow();
}
