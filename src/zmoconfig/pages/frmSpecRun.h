// The special-run page: a time window typed in four boxes that advance by
// themselves, the servers of the server file moved between the available
// and the selected list, CheckSpecRun, and OK, which starts one collection
// by zmostati through RunSpecialRun unless a collector or the loader is
// active.
#pragma once

#include <string>
#include <vector>

#include "page.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zmo::config {

struct SpecRunFields;

class frmSpecRun : public PageForm {
  Q_OBJECT
 public:
  explicit frmSpecRun(QWidget* parent = nullptr);

  QLabel* imgLogo;
  QLabel* lblTitle;
  QLabel* lblStartDate;
  QLineEdit* txtStartDate;
  QLabel* lblStartTime;
  QLineEdit* txtStartTime;
  QLabel* lblEndDate;
  QLineEdit* txtEndDate;
  QLabel* lblEndTime;
  QLineEdit* txtEndTime;
  QLabel* lblServerSelection;
  QListWidget* lstServers;
  QLabel* lblSelectedServers;
  QListWidget* lstSvrsToAgg;
  QPushButton* cmdAddSvr;
  QPushButton* cmdAddAllSvrs;
  QPushButton* cmdRemoveSvr;
  QPushButton* cmdRemoveAllSvrs;
  QLabel* lblStatus;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // True when the window and the selection allow a run; otherwise shows the
  // first refusal, selects its box (when it names one) and returns false.
  bool CheckSpecRun();
  // The four boxes as typed.
  SpecRunFields Fields() const;
  // The items of lstSvrsToAgg, in list order.
  std::vector<std::string> Selected() const;

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;
  void cmdAddSvr_Click();
  void cmdAddAllSvrs_Click();
  void cmdRemoveSvr_Click();
  void cmdRemoveAllSvrs_Click();
  void lstServers_DblClick();
  void lstSvrsToAgg_DblClick();

 protected slots:
  void Form_Activate() override;

  // KeyDown of the four boxes: a key pressed while box holds one character
  // less than it takes moves the focus on once the key has filled the box.
  void txtField_KeyDown(QLineEdit* box);

 private:
  // Refills lstServers with the servers of the file not in lstSvrsToAgg.
  void LoadServers();
  // Moves the current item of from to the end of to; false without one.
  static bool MoveItem(QListWidget* from, QListWidget* to);
  static void MoveAll(QListWidget* from, QListWidget* to);
  void ShowRunStatus(int id);
  QWidget* NextAfter(QLineEdit* box) const;
};

}  // namespace zmo::config
