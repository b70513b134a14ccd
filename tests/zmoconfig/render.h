// The one way the page tests let the window settle and render it: a widget
// as shown, saved as a PNG file in the renders folder of the build tree, for
// a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QPixmap>
#include <QWidget>

// Unloaded forms go, then the posted events run (the layouts take the
// localised texts' sizes on their posted requests, and queued focus moves
// land), as on screen.
inline void SettleEvents() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// The widget once settled, saved as name in the renders folder.
inline void RenderPng(QWidget* widget, const char* name) {
  SettleEvents();
  QDir().mkpath(ZMO_TEST_RENDER_DIR);
  const QPixmap pm = widget->grab();
  ASSERT_FALSE(pm.isNull()) << name;
  EXPECT_TRUE(pm.save(QString::fromLatin1(ZMO_TEST_RENDER_DIR) + "/" + name, "PNG")) << name;
}
