// The recent images on the image dialogs' browse buttons: a click on the
// button opens the file dialog as before, its arrow drops down the recent
// images of the dialog's kind, newest first.
#pragma once

#include <QString>
#include <QStringList>

class QLineEdit;
class QToolButton;

// The recent-image list as the dialogs see it; the main window keeps it.
class TRecentImages {
 public:
  virtual ~TRecentImages() = default;
  // Newest first: the tapes, or the disks.
  virtual QStringList Paths(bool tapes) const = 0;
  virtual void Forget(const QString& path) = 0;
};

// Makes browse a button with such a drop-down, filled each time it opens
// from *recent (null: no list). An image chosen goes into edit, as a file
// chosen in the file dialog would; one that no longer exists leaves the list
// instead, with the warning failText.
void AddRecentMenu(QToolButton* browse, QLineEdit* edit, TRecentImages* const* recent, bool tapes,
                   const QString& failText);
