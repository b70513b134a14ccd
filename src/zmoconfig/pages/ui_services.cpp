#include "ui_services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStringList>

#include "catalog_text.h"
#include "zmoconfig/config_ui.h"

namespace zmo::config {

namespace {

UiServices g_real;
UiServices* g_current = &g_real;

class DataLayerUi : public ConfigUi {
 public:
  void StatusText(int id) override { Ui().SetStatusLine(CatalogText(id)); }
  void MessageOk(const std::string& text) override { Ui().MsgBox(FromAnsi(text), MsgButtons::Ok); }
  void Hourglass(bool on) override { Ui().SetHourglass(on); }
};

DataLayerUi g_data_layer_ui;

}  // namespace

UiServices& Ui() { return *g_current; }

void ConnectDataLayerUi() { SetConfigUi(&g_data_layer_ui); }

void SetUiServices(UiServices* services) { g_current = services ? services : &g_real; }

MsgAnswer UiServices::MsgBox(const QString& text, MsgButtons buttons) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(CatalogText(kTextMessageTitle));
  box.setText(text);
  if (buttons == MsgButtons::Ok) {
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(QMessageBox::NoIcon);
  } else {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setIcon(buttons == MsgButtons::YesNoCritical ? QMessageBox::Critical : QMessageBox::NoIcon);
  }
  const int chosen = box.exec();
  if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
  return chosen == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void UiServices::SetStatusLabel(QLabel* label) {
  status_label_ = label;
  if (status_label_) status_label_->setText(status_text_);
}

void UiServices::SetStatusLine(const QString& text) {
  status_text_ = text;
  if (status_label_) status_label_->setText(text);
}

QString UiServices::StatusLine() const { return status_text_; }

void UiServices::SetHourglass(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (QApplication::overrideCursor()) {
    QApplication::restoreOverrideCursor();
  }
}

int UiServices::StartProcess(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return -1;
  QStringList args;
  for (size_t i = 1; i < argv.size(); ++i) args << QString::fromStdString(argv[i]);
  return QProcess::startDetached(QString::fromStdString(argv[0]), args) ? 0 : -1;
}

void UiServices::EndProgram() { QCoreApplication::exit(0); }

}  // namespace zmo::config
