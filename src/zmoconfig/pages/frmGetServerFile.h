// Chooses a server file elsewhere than the one the registry names: the
// mounted file systems stand for the drives, then the folders of the chosen
// one, then the files of the chosen folder named zmoserver.dat in any case.
// OK accepts only such a file and has its owner, the servers page, reload
// from it.
#pragma once

#include "page.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace zmo::config {

// What the chooser needs of the page that opens it (frmServers).
class ServerFileOwner {
 public:
  virtual ~ServerFileOwner() = default;
  // OK chose the file gServerFile names; the page shows again next.
  virtual void ServerFileChosen() = 0;
  // Cancel: the page shows again and takes the choice back.
  virtual void ServerFileChoiceCancelled() = 0;
};

class frmGetServerFile : public PageForm {
  Q_OBJECT
 public:
  explicit frmGetServerFile(QWidget* parent = nullptr);

  // Tab in the tree leaves the focus there.
  bool TabReturnsHere() const override { return false; }

  QLabel* lblTitle;
  QLabel* lblUserID;
  QLabel* lblDrive;
  QComboBox* drvDriveList;
  QLabel* lblFolder;
  // The folder the lists show, its full path (cut at the left when it is
  // wider than the page; the tool tip holds it whole).
  QLabel* lblDirPath;
  QListWidget* dirDirList;
  QLabel* lblFile;
  QListWidget* fileFileList;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // The folder the folder list shows, and changing it (lists its folders,
  // then runs dirDirList_Change).
  QString DirPath() const { return dir_path_; }
  void SetDirPath(const QString& path);
  // The folder the file list shows.
  QString FilePath() const { return file_path_; }
  // Chooses the drive whose root holds path (the mounted file system with
  // the longest root that is a prefix of it).
  void SetDrive(const QString& path);

 public slots:
  void drvDriveList_Change();
  void dirDirList_Change();
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  void ListDrives();
  void ListFiles();

  QString dir_path_;
  QString file_path_;
};

}  // namespace zmo::config
