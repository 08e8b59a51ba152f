// The Find and Replace dialogs. Both open on the fields they are given with the whole find text
// selected; the Find dialog always opens on "Down". The Replace dialog hands Find Next and
// Replace to its client and stays open; Replace All closes it like an OK.
#pragma once

#include <QDialog>

#include "core/services.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tessera {

class CSearchDialog : public QDialog {
  Q_OBJECT
 public:
  CSearchDialog(const SearchDialogFields& initial, QWidget* parent = nullptr);
  // What the controls hold now.
  SearchDialogFields Fields() const;

 private:
  QLineEdit* find_;
  QCheckBox* whole_word_;
  QCheckBox* match_case_;
  QRadioButton* up_;
};

class CReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  CReplaceDialog(const SearchDialogFields& initial, ReplaceDialogClient& client,
                 QWidget* parent = nullptr);
  SearchDialogFields Fields() const;

 private:
  ReplaceDialogClient& client_;
  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* whole_word_;
  QCheckBox* match_case_;
};

}  // namespace tessera
