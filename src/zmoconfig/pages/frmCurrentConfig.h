// The overview page: the first page beside the tree. It shows the data
// source, the servers and the three exclusion lists, read afresh on every
// activation, and changes nothing. It reads its own copy of the server
// file, so the unsaved edits of the servers page survive a visit here.
#pragma once

#include "page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace zmo::config {

class frmCurrentConfig : public PageForm {
  Q_OBJECT
 public:
  explicit frmCurrentConfig(QWidget* parent = nullptr);

  QLabel* lblCurrentConfig;
  QLabel* lblDataSource;
  QLineEdit* txtDataSource;
  QLabel* lblServers;
  QListWidget* lstServers;
  QLabel* lblParams;
  QLabel* lblPrograms;
  QComboBox* cmbPrograms;
  QLabel* lblIDs;
  QComboBox* cmbIDs;
  QLabel* lblTransactions;
  QComboBox* cmbTransactions;
  QLabel* imgLogo;

 public slots:
  void cmbTransactions_LostFocus();

 protected slots:
  void Form_Load() override;
  void Form_Activate() override;

 private:
  // Empties and fills the controls; false when the server file could not be
  // read (its notice then stays in the status line).
  bool Fill();
};

}  // namespace zmo::config
