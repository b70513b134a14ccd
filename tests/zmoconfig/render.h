// The one way the page tests render: a widget as shown, once the layouts
// have settled, saved as a PNG file in the renders folder of the build tree,
// for a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

// The posted events run first (the layouts take the localised texts' sizes
// on their posted requests, and queued focus moves land), as on screen.
// Deferred deletes are left to the caller: a test may hold an unloaded form
// of its own on the stack.
inline void RenderPng(QWidget* widget, const char* name) {
  QCoreApplication::processEvents();
  QDir().mkpath(ZMO_TEST_RENDER_DIR);
  const QPixmap pm = widget->grab();
  ASSERT_FALSE(pm.isNull()) << name;
  EXPECT_TRUE(pm.save(QString::fromLatin1(ZMO_TEST_RENDER_DIR) + "/" + name, "PNG")) << name;
}
