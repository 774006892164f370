// The keyboard dialog: a switch for the Esc and Hankaku/Zenkaku mapping and
// one for typing symbols as the host's keyboard layout has them.
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
  // On a keyboard of another layout (US and others) the symbols printed on
  // the keys are not where a Japanese keyboard has them.
  CharChkBox1 = new QCheckBox(tr("記号はキーの刻印どおりに入力"), this);
  CharChkBox1->setObjectName(QStringLiteral("CharChkBox1"));
  CharChkBox1->setToolTip(tr("英語配列などのキーボードで、記号をキーに書かれた文字として入力します (カナモードと CTRL 併用時を除く)。"));
  layout->addWidget(CharChkBox1);
  AddOkCancel(this, layout);
  SetClientSize(281, 153);
}

void TKeybordForm1::FormShow() {
  EscChkBox1->setChecked(KeyCh_ESC);
  CharChkBox1->setChecked(KeyByChar);
}

void TKeybordForm1::FormClose(bool ok) {
  if (!ok) return;
  KeyCh_ESC = EscChkBox1->isChecked();
  KeyByChar = CharChkBox1->isChecked();
}
