// The four information pages of the tree's folders: a logo and two texts,
// nothing to change. Each hands the focus back to the tree when it comes to
// the front.
#pragma once

#include "page.h"

class QLabel;

namespace zmo::config {

class InfoPage : public PageForm {
  Q_OBJECT
 public:
  // The page's name, and the names and catalog ids of its two labels (the
  // first one is the bold title).
  InfoPage(const char* name, const char* first, int first_id, const char* second, int second_id,
           QWidget* parent = nullptr);

  bool TakesFocus() const override { return false; }

  QLabel* imgLogo;

 protected slots:
  void Form_Activate() override;

 protected:
  QLabel* first_;
  QLabel* second_;
};

class frmInitConfig : public InfoPage {
  Q_OBJECT
 public:
  explicit frmInitConfig(QWidget* parent = nullptr);
  QLabel* lblTitle;
  QLabel* lblDescription;
};

class frmRepConfig : public InfoPage {
  Q_OBJECT
 public:
  explicit frmRepConfig(QWidget* parent = nullptr);
  QLabel* lblDescription;
  QLabel* lblInstructions;
};

class frmSLAconfig : public InfoPage {
  Q_OBJECT
 public:
  explicit frmSLAconfig(QWidget* parent = nullptr);
  QLabel* lblTitle;
  QLabel* lblDescription;
};

class frmSchConfig : public InfoPage {
  Q_OBJECT
 public:
  explicit frmSchConfig(QWidget* parent = nullptr);
  QLabel* lblTitle;
  QLabel* lblDescription;
};

}  // namespace zmo::config
