// A dialog host for tests: records the boxes that would have been shown and
// answers questions as the test says.
#pragma once

#include <QStringList>

#include "Dialoghost.h"
#include "Recentmenu.h"

class TFakeHost : public TDialogHost {
 public:
  TFakeHost() { SetDialogHost(this); }
  ~TFakeHost() override { SetDialogHost(nullptr); }
  void Warning(QWidget*, const QString& text) override { Warnings << text; }
  bool Question(QWidget*, const QString& text) override {
    Questions << text;
    return Answer;
  }
  QString OpenFileName(QWidget*, const QString& filter, const QString&,
                       const QString&) override {
    Filters << filter;
    return Chosen;
  }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return SaveAs;
  }
  int Choose(QWidget*, const QString& text, const QStringList&, int) override {
    Questions << text;
    return Choice;
  }
  QStringList Warnings, Questions, Filters;
  bool Answer = false;
  QString Chosen, SaveAs;
  int Choice = -1;
};

// A recent-image list: tapes are the names ending in .vtp.
class TFakeRecent : public TRecentImages {
 public:
  QStringList Paths(bool tapes) const override {
    QStringList kind;
    for (const QString& p : All)
      if (p.endsWith(QStringLiteral(".vtp")) == tapes) kind << p;
    return kind;
  }
  void Forget(const QString& path) override { All.removeAll(path); }
  QStringList All;
};

