// Renders the splash, the main window with its menus and the About box to
// PNG files in the build tree, for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "MDIMainForm.h"
#include "frmAbout.h"
#include "frmSplash.h"
#include "pages_support.h"

namespace {

QString RenderPath(const char* name) {
  QDir().mkpath(ZMO_TEST_RENDER_DIR);
  return QString::fromLatin1(ZMO_TEST_RENDER_DIR) + "/" + name;
}

void Save(QWidget* w, const char* name) {
  const QPixmap pm = w->grab();
  EXPECT_FALSE(pm.isNull()) << name;
  EXPECT_TRUE(pm.save(RenderPath(name), "PNG")) << name;
}

TEST_F(PagesTest, RendersTheFormsToPng) {
  frmSplash splash({});
  splash.Show();
  splash.tmrSplash->stop();
  Save(&splash, "zmoconfig_splash.png");
  splash.Unload();

  MDIMainForm main;
  main.Show();
  main.resize(main.size());
  Save(&main, "zmoconfig_main.png");
  for (QMenu* menu : {main.mnuLogs, main.mnuOptions, main.mnuInitialConfig, main.mnuDebug}) {
    menu->ensurePolished();
    menu->adjustSize();
    Save(menu, ("zmoconfig_" + menu->objectName() + ".png").toLatin1().constData());
  }
  main.mnuAbout_Click();
  ASSERT_NE(main.About(), nullptr);
  main.About()->adjustSize();
  Save(main.About(), "zmoconfig_about.png");
}

}  // namespace
