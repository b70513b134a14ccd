#include "zmoconfig/config_ui.h"

namespace zmo::config {

namespace {

class SilentUi : public ConfigUi {
 public:
  void StatusText(int) override {}
  void MessageOk(const std::string&) override {}
  void Hourglass(bool) override {}
};

SilentUi silent_ui;
ConfigUi* current_ui = &silent_ui;

}  // namespace

ConfigUi& configUi() { return *current_ui; }

void SetConfigUi(ConfigUi* ui) { current_ui = ui != nullptr ? ui : &silent_ui; }

}  // namespace zmo::config
