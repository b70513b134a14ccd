// The statistics schedule page: the sorted list of the times zmostati
// collects at, add and edit through frmAddStatSch, delete (confirmed, then
// saved at once), OK writing the six registry pieces, Cancel reading them
// again. Add and edit change only the list.
#pragma once

#include <string>
#include <vector>

#include "page.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zmo::config {

class frmSchStati : public PageForm, public EditedList {
  Q_OBJECT
 public:
  explicit frmSchStati(QWidget* parent = nullptr);

  // The heading: the pages beside the tree have no title bar to show the
  // form's caption.
  QLabel* lblTitle;
  QLabel* imgLogo;
  QLabel* lblStatSch;
  QListWidget* lstStatSch;
  QPushButton* cmdAdd;
  QPushButton* cmdEdit;
  QPushButton* cmdDelete;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // The listed entries ("HH:MM"), in list order.
  std::vector<std::string> Entries() const override;
  // Adds the row of entry; the sorted list places it.
  void AddEntry(const std::string& entry) override;
  // lstStatSch.
  QListWidget* List() const override { return lstStatSch; }

 public slots:
  void cmdAdd_Click();
  void cmdEdit_Click();
  void cmdDelete_Click();
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // Clears the list and fills it from the registry.
  void LoadList();
  // Writes the listed entries; status 1455 when every piece was written.
  void SaveSchedule();
};

}  // namespace zmo::config
