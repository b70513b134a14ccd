// The warehouse data-source page: the database kind (Oracle with its client
// version, Corva with its instance, MS SQL Server, Sybase, Tessel), the data
// source name, user and password. OK checks that the kind's client program
// is on PATH and that the texts can travel in the loader's command lines,
// then writes the registry values, the password scrambled. Cancel shows the
// stored values again.
#pragma once

#include <QList>

#include "page.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zmo::config {

struct DataSourceInput;

class frmDataSource : public PageForm {
  Q_OBJECT
 public:
  explicit frmDataSource(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* imgLogo;
  QGroupBox* fraDBtype;
  QRadioButton* optORA;
  QGroupBox* fraORAversion;
  QRadioButton* optORA73;
  QRadioButton* optORA80;
  QRadioButton* optORA81;
  QRadioButton* optCorva;
  QGroupBox* fraCorvaInstance;
  QLabel* lblCorvaInst;
  QLineEdit* txtCorvainst;
  QRadioButton* optMSSQL;
  QRadioButton* optSybase;
  QRadioButton* optTessel;
  QLabel* lblDataSource;
  QLineEdit* txtDSN;
  QLabel* lblUserID;
  QLineEdit* txtUserID;
  QLabel* lblPassword;
  QLineEdit* txtPassword;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // The choices and boxes as they stand.
  DataSourceInput Input() const;
  // The kind options, in the order of the shared kind table, and the Oracle
  // version options, in the order of the shared version table.
  QList<QRadioButton*> KindOptions() const;
  QList<QRadioButton*> VersionOptions() const;

 public slots:
  void optORA_Click();
  void optCorva_Click();
  void optMSSQL_Click();
  void optSybase_Click();
  void optTessel_Click();
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // A kind without a version or an instance: both frames off.
  void OtherKindChosen(QRadioButton* option);
  // The three version options deselected and enabled or disabled.
  void ResetVersions(bool enabled);
};

}  // namespace zmo::config
