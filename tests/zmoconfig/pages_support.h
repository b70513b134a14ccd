// What the page tests share: scripted user-interface services that answer
// message boxes and record status texts, process starts and the program's
// end; and a fixture with a registry store and a BinDir of its own.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <deque>
#include <string>
#include <vector>

#include "catalog_text.h"
#include "ui_services.h"
#include "zmo_test/config_store.h"
#include "zmo_test/registry.h"
#include "zmo_test/scoped.h"
#include "zmoconfig/config_state.h"

using namespace zmo::config;

class ScriptedUi : public UiServices {
 public:
  ScriptedUi() { SetUiServices(this); }
  ~ScriptedUi() override { SetUiServices(nullptr); }

  MsgAnswer MsgBox(const QString& text, MsgButtons buttons) override {
    events.push_back("box " + text.toStdString());
    box_buttons.push_back(buttons);
    if (answers.empty()) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void SetStatusLine(const QString& text) override {
    events.push_back("status " + text.toStdString());
    UiServices::SetStatusLine(text);
  }
  void SetHourglass(bool on) override { events.push_back(on ? "hourglass on" : "hourglass off"); }
  int StartProcess(const std::vector<std::string>& argv) override {
    started.push_back(argv);
    return start_result;
  }
  void EndProgram() override { ++ends; }

  std::vector<std::string> events;  // boxes and status texts in order
  std::vector<MsgButtons> box_buttons;
  std::deque<MsgAnswer> answers;
  std::vector<std::vector<std::string>> started;
  int start_result = 0;
  int ends = 0;
};

// The event line of a catalog text shown in a box or in the status line.
inline std::string BoxOf(int id) { return "box " + CatalogText(id).toStdString(); }
inline std::string StatusOf(int id) { return "status " + CatalogText(id).toStdString(); }

// A registry store and a BinDir in a temporary directory, scripted services,
// and the module's BinDir pointing there.
class PagesTest : public zmo_test::StoreTest {
 protected:
  PagesTest() : bin_dir_(dir_ / "bin") {
    std::filesystem::create_directories(bin_dir_);
    ResetConfigState();
    gBinDir = bin_dir_;
    ConnectDataLayerUi();
  }
  ~PagesTest() override { ResetConfigState(); }

  std::string bin_dir_;
  ScriptedUi ui_;
};
