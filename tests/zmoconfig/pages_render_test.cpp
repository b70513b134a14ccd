// Renders the splash, the main window with its menus and the About box to
// PNG files in the build tree, for a person to look at.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>

#include "MDIMainForm.h"
#include "frmAbout.h"
#include "frmAddServers.h"
#include "frmServers.h"
#include "frmSplash.h"
#include "frmTreeView.h"
#include "navigation.h"
#include "pages_support.h"
#include "render.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

TEST_F(PagesTest, RendersTheFormsToPng) {
  frmSplash splash({});
  splash.Show();
  splash.tmrSplash->stop();
  RenderPng(&splash, "zmoconfig_splash.png");
  splash.Unload();

  MDIMainForm main;
  main.Show();
  main.resize(main.size());
  RenderPng(&main, "zmoconfig_main.png");
  for (QMenu* menu : {main.mnuLogs, main.mnuOptions, main.mnuInitialConfig, main.mnuDebug}) {
    menu->ensurePolished();
    menu->adjustSize();
    RenderPng(menu, ("zmoconfig_" + menu->objectName() + ".png").toLatin1().constData());
  }
  main.mnuAbout_Click();
  ASSERT_NE(main.About(), nullptr);
  main.About()->adjustSize();
  RenderPng(main.About(), "zmoconfig_about.png");
}

// The tree with the servers page, the add dialog, the data-source page and
// the overview, as the user meets them.
TEST_F(PagesTest, RendersTheTreeAndThePagesToPng) {
  const std::string file = bin_dir_ + "/zmoserver.dat";
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, file);
  zmo_test::PutConfigText(zmo::cfg::kDB, "Oracle");
  zmo_test::PutConfigText(zmo::cfg::kOracle, "81");
  zmo_test::PutConfigText(zmo::cfg::kDSN, "ZMOWAREHOUSE");
  zmo_test::PutConfigText(zmo::cfg::kUser, "zmoload");
  zmo_test::PutConfigText(zmo::cfg::kAccess, EncryptText("secret"));
  std::string data;
  const char* hosts[][2] = {{"sapt31.example.net", "00"},
                            {"/H/gw.example.net/S/3299/H/sapt62.example.net", "10"},
                            {"sapt46.example.net", "01"}};
  for (const auto& h : hosts) {
    ServerRow r;
    r[kSrvHost] = h[0];
    r[kSrvUser] = "ZMOMON";
    r[kSrvPassword] = EncryptText("pw");
    r[kSrvSid] = "T31";
    r[kSrvClient] = "100";
    r[kSrvSysnr] = h[1];
    r[kSrvWindowStart] = "000000";
    r[kSrvWindowEnd] = "240000";
    r[kSrvLanguage] = "E";
    data += EncodeServerRecord(r);
  }
  std::ofstream(file, std::ios::binary) << data;

  MDIMainForm main;
  main.Show();
  RenderPng(&main, "zmoconfig_overview.png");
  main.Tree()->treConfigurator->expandItem(main.Tree()->Node(QStringLiteral("ndInitialConfig")));
  ShowNodeForm(QStringLiteral("ndServer"));
  main.Tree()->treConfigurator->setCurrentItem(main.Tree()->Node(QStringLiteral("ndServer")));
  RenderPng(&main, "zmoconfig_servers.png");
  auto* servers = main.Page<frmServers>();
  servers->cmdCreate_Click();
  auto* add = main.Page<frmAddServers>();
  add->txtServer->setText("sapt70.example.net");
  add->txtID->setText("ZMOMON");
  add->txtPW->setText("secret");
  RenderPng(&main, "zmoconfig_add_server.png");
  add->cmdCancel_Click();
  ShowNodeForm(QStringLiteral("ndDataSource"));
  main.Tree()->treConfigurator->setCurrentItem(main.Tree()->Node(QStringLiteral("ndDataSource")));
  RenderPng(&main, "zmoconfig_data_source.png");
  ShowNodeForm(QStringLiteral("ndInitialConfig"));
  RenderPng(&main, "zmoconfig_init_config.png");
}

}  // namespace
