#include "frmGetServerFile.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "common/data_files.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/servers.h"

namespace zmo::config {

namespace {

// The folder list's entry that goes one folder up.
const QString kParentEntry = QStringLiteral("..");

// A path shown in the width it is given: a longer one loses its beginning,
// so the folder's own name stays in view.
class PathLabel : public QLabel {
 public:
  explicit PathLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }
  void SetPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    Elide();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Elide();
  }

 private:
  void Elide() { setText(fontMetrics().elidedText(path_, Qt::ElideLeft, width())); }
  QString path_;
};

}  // namespace

frmGetServerFile::frmGetServerFile(QWidget* parent) : PageForm("frmGetServerFile", parent) {
  SetTag(this, "1505");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1505);
  MakeTitle(lblTitle);
  lblUserID = NamedControl<QLabel>(this, "lblUserID", 1506);
  lblUserID->setWordWrap(true);
  lblDrive = NamedControl<QLabel>(this, "lblDrive", 1509);
  drvDriveList = NamedControl<QComboBox>(this, "drvDriveList");
  SetTypeName(drvDriveList, "DriveListBox");
  lblFolder = NamedControl<QLabel>(this, "lblFolder", 1510);
  lblDirPath = new PathLabel(this);
  lblDirPath->setObjectName("lblDirPath");
  dirDirList = NamedControl<QListWidget>(this, "dirDirList");
  SetTypeName(dirDirList, "DirListBox");
  lblFile = NamedControl<QLabel>(this, "lblFile", 1511);
  fileFileList = NamedControl<QListWidget>(this, "fileFileList");
  SetTypeName(fileFileList, "FileListBox");
  lblDrive->setBuddy(drvDriveList);
  lblFolder->setBuddy(dirDirList);
  lblFile->setBuddy(fileFileList);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);
  connect(drvDriveList, &QComboBox::activated, this, &frmGetServerFile::drvDriveList_Change);
  // Opening a folder (double click) makes it the folder listed.
  connect(dirDirList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QString name = item->text();
    SetDirPath(name == kParentEntry ? QDir(dir_path_).absoluteFilePath(kParentEntry)
                                    : QDir(dir_path_).filePath(name));
  });

  auto* grid = new QGridLayout;
  grid->addWidget(lblDrive, 0, 0);
  grid->addWidget(drvDriveList, 1, 0, 1, 2);
  grid->addWidget(lblFolder, 2, 0);
  grid->addWidget(lblFile, 2, 1);
  grid->addWidget(lblDirPath, 3, 0, 1, 2);
  grid->addWidget(dirDirList, 4, 0);
  grid->addWidget(fileFileList, 4, 1);
  grid->setRowStretch(4, 1);
  QHBoxLayout* buttons = OkCancelRow(cmdOK, cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblUserID);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
}

void frmGetServerFile::ListDrives() {
  const QSignalBlocker quiet(drvDriveList);
  drvDriveList->clear();
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
      roots << volume.rootPath();
  }
  roots.sort();
  drvDriveList->addItems(roots);
}

void frmGetServerFile::SetDrive(const QString& path) {
  const QString clean = QDir::cleanPath(path);
  int best = -1;
  qsizetype best_length = -1;
  for (int i = 0; i < drvDriveList->count(); ++i) {
    const QString root = drvDriveList->itemText(i);
    const bool holds =
        root == QLatin1String("/") || clean == root || clean.startsWith(root + QLatin1Char('/'));
    if (holds && root.size() > best_length) {
      best = i;
      best_length = root.size();
    }
  }
  const QSignalBlocker quiet(drvDriveList);
  drvDriveList->setCurrentIndex(best);
}

void frmGetServerFile::SetDirPath(const QString& path) {
  dir_path_ = QDir::cleanPath(path);
  static_cast<PathLabel*>(lblDirPath)->SetPath(QDir::toNativeSeparators(dir_path_));
  dirDirList->clear();
  QDir dir(dir_path_);
  if (!dir.isRoot()) dirDirList->addItem(kParentEntry);
  dirDirList->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDir::Name | QDir::IgnoreCase));
  dirDirList_Change();
}

void frmGetServerFile::ListFiles() {
  fileFileList->clear();
  const QString wanted = QLatin1String(zmo::kServerFileName);
  for (const QString& name : QDir(file_path_).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
    if (name.compare(wanted, Qt::CaseInsensitive) == 0) fileFileList->addItem(name);
  }
}

void frmGetServerFile::Form_Activate() {
  ActivateDialog();
  ListDrives();
  const QString bin = FromAnsi(gBinDir);
  SetDrive(bin);
  SetDirPath(bin.isEmpty() ? QDir::rootPath() : bin);
}

void frmGetServerFile::drvDriveList_Change() {
  if (drvDriveList->currentIndex() >= 0) SetDirPath(drvDriveList->currentText());
}

void frmGetServerFile::dirDirList_Change() {
  file_path_ = dir_path_;
  ListFiles();
}

void frmGetServerFile::cmdOK_Click() {
  gServerFile.clear();
  const QListWidgetItem* chosen = fileFileList->currentItem();
  std::string path;
  const int result =
      ServerFileChoice(ToAnsi(file_path_), chosen ? ToAnsi(chosen->text()) : "", &path);
  if (result != 0) {
    Refuse(result);
    return;
  }
  gServerFile = path;
  if (auto* owner = OwnerAs<ServerFileOwner>()) owner->ServerFileChosen();
  ReturnToOwner();
}

void frmGetServerFile::cmdCancel_Click() {
  ReturnToOwner();
  if (auto* owner = OwnerAs<ServerFileOwner>()) owner->ServerFileChoiceCancelled();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
