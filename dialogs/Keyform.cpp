// The keyboard dialog: one switch for the Esc and Hankaku/Zenkaku mapping.
#include "Keyform.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "Dialogparts.h"

TKeybordForm1::TKeybordForm1(QWidget* parent) : TModalForm(parent) {
  setObjectName(QStringLiteral("KeybordForm1"));
  setWindowTitle(tr("キーボード"));
  auto* layout = new QVBoxLayout(this);
  EscChkBox1 = new QCheckBox(tr("キーレイアウトの変更"), this);
  EscChkBox1->setObjectName(QStringLiteral("EscChkBox1"));
  layout->addWidget(EscChkBox1);
  auto* first = new QLabel(tr("[ESC] ⇒ [BREAK]"), this);
  auto* second = new QLabel(tr("[半角/全角] ⇒ [ESC]"), this);
  first->setIndent(24);
  second->setIndent(24);
  layout->addWidget(first);
  layout->addWidget(second);
  AddOkCancel(this, layout);
  SetClientSize(281, 129);
}

void TKeybordForm1::FormShow() { EscChkBox1->setChecked(KeyCh_ESC); }

void TKeybordForm1::FormClose(bool ok) {
  if (ok) KeyCh_ESC = EscChkBox1->isChecked();
}
