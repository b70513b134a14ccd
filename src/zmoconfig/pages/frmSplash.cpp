#include "frmSplash.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "MDIMainForm.h"
#include "artwork.h"
#include "catalog_text.h"
#include "localize.h"
#include "platform/clock.h"
#include "ui_services.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/loaders.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {
// How long the wait lets the clock pass between rounds of window events.
constexpr int kWaitStepMillis = 20;
}  // namespace

bool CommandLineSkipsWait(const QStringList& arguments) {
  return arguments.join(QLatin1Char(' ')).toUpper().contains(QLatin1String("-D"));
}

frmSplash::frmSplash(const QStringList& arguments, QWidget* parent)
    : FormBase(parent), arguments_(arguments) {
  setObjectName("frmSplash");
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  imgSplash = new QLabel(this);
  imgSplash->setObjectName("imgSplash");
  SetTypeName(imgSplash, "Image");
  imgSplash->setPixmap(SplashArt());
  imgSplash->setFixedSize(kSplashWidth, kSplashHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(imgSplash);
  tmrSplash = new QTimer(this);
  tmrSplash->setObjectName("tmrSplash");
  tmrSplash->setInterval(kSplashTimerMillis);
  connect(tmrSplash, &QTimer::timeout, this, &frmSplash::tmrSplash_Timer);
  LoadGroups = [] {
    LoadAppGroups();
    LoadTransGroups();
  };
}

void frmSplash::Form_Load() {
  bSkipWait = CommandLineSkipsWait(arguments_);
  // The window takes the picture's size, in the middle of the screen.
  setFixedSize(kSplashWidth, kSplashHeight);
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
  }
  tmrSplash->start();
}

void frmSplash::setVisible(bool visible) {
  in_set_visible_ = true;
  FormBase::setVisible(visible);
  in_set_visible_ = false;
}

void frmSplash::tmrSplash_Timer() {
  // On a busy machine making the window takes longer than the interval, and
  // the tick comes while Qt handles events inside setVisible. Run there, the
  // start would unload (and Qt delete) the splash in the middle of its own
  // showing, and a second instance's end would come before the event loop
  // it is to end. The timer keeps running: its next tick does the start.
  if (in_set_visible_) return;
  // One tick does the whole start; the wait below handles window events, so
  // the timer must not fire again meanwhile.
  tmrSplash->stop();
  // Elapsed time on the clock seam, not seconds since midnight, so a start
  // just before midnight still waits 3 seconds.
  const std::int64_t start = zmo::ClockNowMillis();
  const bool no_bin_dir = ReadBinDir() == kBinDirMissing;
  if (LoadGroups) LoadGroups();
  if (!bSkipWait) {
    while (zmo::ClockNowMillis() - start < kSplashWaitMillis) {
      QCoreApplication::processEvents();
      zmo::ClockSleepMillis(kWaitStepMillis);
    }
  }
  auto* main = new MDIMainForm;
  main->Show();
  Unload();
  // Without a BinDir no page can find its files: say so once.
  if (no_bin_dir && !main->Ending()) {
    Ui().MsgBox(CatalogText(kTextNoValueSet) + QStringLiteral(": ") +
                    QString::fromLatin1(zmo::cfg::kBinDir),
                MsgButtons::Ok);
  }
}

}  // namespace zmo::config
