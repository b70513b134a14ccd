// Renders the exclusion and service-level pages inside the main window to
// PNG files in the build tree, for a person to look at: an exclusion list
// with rows, its dialog, the group page with a group and its codes, the two
// group dialogs and the all-transaction page.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <fstream>

#include "MDIMainForm.h"
#include "controls.h"
#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmAddIgnore.h"
#include "frmIgnoreLists.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "pages_support.h"
#include "render.h"
#include "zmoconfig/loaders.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

class RenderSlaTest : public PagesTest {
 protected:
  void Write(const char* file, const std::string& data) const {
    std::ofstream(bin_dir_ + "/" + file, std::ios::binary) << data;
  }
};

TEST_F(RenderSlaTest, RendersTheExclusionAndServiceLevelPagesToPng) {
  Write("zmoIDsToIgnore.dat", "DDIC        \r\nSAP*        \r\nBATCHUSER   \r\n");
  Write("zmoAppGroup.dat", std::string("Sales order processing") + std::string(13, ' ') + "2125" +
                               "Finance" + std::string(28, ' ') + "0500");
  Write("zmoTransGroup.dat",
        "Sales order processing             VA01                "
        "Sales order processing             VA02                "
        "Sales order processing             VA03                "
        "Finance                            FB01                ");
  zmo_test::PutConfigText(zmo::cfg::kNotation, ".");
  zmo_test::PutConfigText(zmo::cfg::kSystemSLA, "3000");
  LoadAppGroups();
  LoadTransGroups();
  MDIMainForm main;
  main.Show();
  main.resize(main.size());

  main.ShowPage<frmIDsToIgnore>();
  auto* ids = main.Page<frmIDsToIgnore>();
  ASSERT_NE(ids, nullptr);
  SetListIndex(ids->List(), 1);
  RenderPng(&main, "zmoconfig_ids_to_ignore.png");
  ids->cmdEdit->click();
  RenderPng(&main, "zmoconfig_add_id.png");
  main.ShowPage<frmTransToIgnore>();
  auto* trans = main.Page<frmTransToIgnore>();
  trans->cmdAdd->click();
  RenderPng(&main, "zmoconfig_add_trans.png");

  main.ShowPage<frmTransGroup>();
  auto* groups = main.Page<frmTransGroup>();
  ASSERT_NE(groups, nullptr);
  SetListIndex(groups->cmbTransGroup, 0);
  RenderPng(&main, "zmoconfig_trans_group.png");
  groups->cmdAppEdit->click();
  RenderPng(&main, "zmoconfig_add_application.png");
  main.Page<frmAddApplication>()->cmdCancel->click();
  groups->cmdTxAdd->click();
  RenderPng(&main, "zmoconfig_add_app_trans.png");
  main.Page<frmAddAppTrans>()->cmdCancel->click();

  main.ShowPage<frmSystemSLA>();
  RenderPng(&main, "zmoconfig_system_sla.png");
}

}  // namespace
