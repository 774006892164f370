// The host services the dialogs and the debug window need from the desktop:
// the warning, question and choice boxes and the file dialogs. They go through
// this small interface so that the dialogs' decisions can be exercised
// without a person clicking; the program uses the Qt implementation.
//
// TModalForm is the common frame of every dialog: shown modally and centred
// on the screen, it loads its controls when shown (FormShow) and runs its
// close rule (FormClose) whenever it closes; only OK commits. The close box
// and Escape end it as Cancel.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class TDialogHost {
 public:
  virtual ~TDialogHost() = default;
  // A warning box with one OK button.
  virtual void Warning(QWidget* parent, const QString& text) = 0;
  // A confirmation box with Yes and No; true for Yes.
  virtual bool Question(QWidget* parent, const QString& text) = 0;
  // The file-open dialog; an empty string when the user cancels.
  virtual QString OpenFileName(QWidget* parent, const QString& filter,
                               const QString& defaultSuffix,
                               const QString& startPath) = 0;
  // The same dialog for a file that may not exist yet (a new image the
  // caller offers to create); by default the file-open dialog.
  virtual QString OpenOrNewFileName(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix, const QString& startPath) {
    return OpenFileName(parent, filter, defaultSuffix, startPath);
  }
  // The file-save dialog, for a new file; an empty string when the user
  // cancels. It does not ask about replacing a file: the caller does.
  virtual QString SaveFileName(QWidget* parent, const QString& filter,
                               const QString& defaultSuffix,
                               const QString& startPath) {
    (void)parent, (void)filter, (void)defaultSuffix, (void)startPath;
    return QString();
  }
  // A choice of one of items (current preselected); -1 when the user
  // cancels.
  virtual int Choose(QWidget* parent, const QString& text,
                     const QStringList& items, int current) {
    (void)parent, (void)text, (void)items, (void)current;
    return -1;
  }
};

// QMessageBox and QFileDialog.
class TQtDialogHost : public TDialogHost {
 public:
  void Warning(QWidget* parent, const QString& text) override;
  bool Question(QWidget* parent, const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& filter,
                       const QString& defaultSuffix,
                       const QString& startPath) override;
  QString SaveFileName(QWidget* parent, const QString& filter,
                       const QString& defaultSuffix,
                       const QString& startPath) override;
  int Choose(QWidget* parent, const QString& text, const QStringList& items,
             int current) override;
  QString OpenOrNewFileName(QWidget* parent, const QString& filter,
                            const QString& defaultSuffix, const QString& startPath) override;

 private:
  QString FileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                   const QString& startPath, bool mustExist);
};

// The program's host: the Qt one unless a test put its own in place.
TDialogHost& DialogHost();
void SetDialogHost(TDialogHost* host);  // nullptr restores the Qt host

// Places a window at the centre of its screen, halves rounded toward zero.
void CenterOnScreen(QWidget* window);

class TModalForm : public QDialog {
  Q_OBJECT
 public:
  explicit TModalForm(QWidget* parent = nullptr);

  // Centres the dialog and runs it modally; returns QDialog::Accepted for OK.
  int ShowModal();

  void done(int result) override;

  // Called on OK right after FormClose has taken the controls' values, while
  // the dialog is still closing: whoever showed the dialog stores them here,
  // so they are in force before the emulation resumes.
  std::function<void()> OnCommit;

 protected:
  void showEvent(QShowEvent* event) override;
  // Load the controls from the shared state.
  virtual void FormShow() {}
  // The dialog is closing; ok is true only for the OK button.
  virtual void FormClose(bool ok) { (void)ok; }
  // Fixed client size, system menu only.
  void SetClientSize(int width, int height);

 private:
  bool Closing = false;
};
