// The application-servers page: the list of the servers the collectors read,
// add, edit and delete through frmAddServers, the choice between the file
// the registry names and one chosen in frmGetServerFile, and OK, which
// writes the file and the registry values that name it. Add, edit and delete
// change only the table; OK alone writes.
#pragma once

#include "frmAddServers.h"
#include "frmGetServerFile.h"
#include "page.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace zmo::config {

class frmServers : public PageForm, public ServerEntryOwner, public ServerFileOwner {
  Q_OBJECT
 public:
  explicit frmServers(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblInstructions;
  QLabel* lblListlabel;
  QListWidget* lstServer;
  QGroupBox* frmSelectFile;
  QCheckBox* chkNetwork;
  QLabel* lblFilePath;
  QPushButton* cmdCreate;
  QPushButton* cmdEdit;
  QPushButton* cmdDelete;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // Clears lstServer and fills it from the server file (gServerFile, else
  // the file StatiInput names). Returns LoadServerFile's result.
  int ReloadList();
  // The path lblFilePath shows: gServerFile, else StatiInput.
  void ShowFilePath();

  // frmAddServers stored an entry: the focus goes to OK.
  void ServerEntryStored() override;
  // frmGetServerFile chose gServerFile: the list is read from it and its
  // path shown. Cancelled: the box is cleared and gServerFile is the path
  // shown again.
  void ServerFileChosen() override;
  void ServerFileChoiceCancelled() override;

 public slots:
  void chkNetwork_Click();
  void lstServer_Click();
  void cmdCreate_Click();
  void cmdEdit_Click();
  void cmdDelete_Click();
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Load() override;
  void Form_Activate() override;

 private:
  void ShowItems(const std::vector<std::string>& items, bool enabled);
};

}  // namespace zmo::config
