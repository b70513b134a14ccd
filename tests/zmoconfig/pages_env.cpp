// The one application object of the page tests, on the offscreen platform
// unless the caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// The offscreen platform says on every window that it cannot raise it.
QtMessageHandler g_default_handler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("This plugin does not support"))) return;
  g_default_handler(type, context, text);
}

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zmoconfig_pages_test";
    static char* argv[] = {name, nullptr};
    g_default_handler = qInstallMessageHandler(QuietHandler);
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
