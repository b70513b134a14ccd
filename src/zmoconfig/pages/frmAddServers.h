// The add/edit dialog of one application server. Its hidden txtIndex holds
// "" when adding, else the 1-based row of the server table being edited.
// OK checks the entry (CheckFields, then CheckForDups), stores it in the
// table and goes back to its owner, frmServers; the file is written by that
// page's OK.
#pragma once

#include "page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

struct ServerEntry;

// What the dialog needs of the page that opens it (frmServers).
class ServerEntryOwner {
 public:
  virtual ~ServerEntryOwner() = default;
  // OK stored an entry in the table and the page shows again.
  virtual void ServerEntryStored() = 0;
};

class frmAddServers : public PageForm {
  Q_OBJECT
 public:
  explicit frmAddServers(QWidget* parent = nullptr);

  // The heading: the pages beside the tree have no title bar to show the
  // form's caption.
  QLabel* lblTitle;
  QLabel* lblServer;
  QLineEdit* txtServer;
  QLabel* lblID;
  QLineEdit* txtID;
  QLabel* lblPW;
  QLineEdit* txtPW;
  QLabel* lblSID;
  QLineEdit* txtSID;
  QLabel* lblClient;
  QLineEdit* txtClient;
  QLabel* lblInstanceNo;
  QLineEdit* txtInstanceNo;
  QLabel* lblLanguage;
  QComboBox* cmbLanguage;
  QLineEdit* txtIndex;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // The entry as the boxes hold it.
  ServerEntry Entry() const;
  // True when every box passes the checks; otherwise shows the first
  // refusal, selects its box and returns false. SID, system number and
  // client are normalised in their boxes as they pass.
  bool CheckFields();
  // True when no row but RecordToSkip (0: none) holds the same server.
  bool CheckForDups(int RecordToSkip);

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // The row txtIndex names, or 0 (adding, or no row of the table).
  int Row() const;
};

}  // namespace zmo::config
