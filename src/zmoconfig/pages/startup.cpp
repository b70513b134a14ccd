#include "startup.h"

#include <QApplication>
#include <QPointer>

#include "MDIMainForm.h"
#include "catalog_text.h"
#include "frmSplash.h"
#include "localize.h"
#include "ui_services.h"

namespace zmo::config {

int RunConfigurator(int argc, char** argv) {
  QApplication app(argc, argv);
  ConnectDataLayerUi();
  QApplication::setFont(QFont(kDialogFontFamily, 9));
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();  // the command line is what follows the name
  QPointer<frmSplash> splash = new frmSplash(arguments);
  splash->Show();
  const int code = QApplication::exec();
  // Ending unloads every form without asking anything.
  delete MainForm();
  delete splash.data();
  return code;
}

}  // namespace zmo::config
