// The host services the dialogs and the debug window need from the desktop:
// the warning and question boxes and the file-open dialog. They go through
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
};

// QMessageBox and QFileDialog.
class TQtDialogHost : public TDialogHost {
 public:
  void Warning(QWidget* parent, const QString& text) override;
  bool Question(QWidget* parent, const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& filter,
                       const QString& defaultSuffix,
                       const QString& startPath) override;
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
