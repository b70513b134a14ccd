// The splash, About, page-logo and tree artwork, drawn by the program itself.
#pragma once

#include <QPixmap>

namespace zmo::config {

// Pixel sizes of the two pictures.
constexpr int kSplashWidth = 521;
constexpr int kSplashHeight = 396;
constexpr int kAboutWidth = 145;
constexpr int kAboutHeight = 202;

// The splash picture: a chart over a dark field, the product title (catalog
// 1400) and the notice line (catalog 1485).
QPixmap SplashArt();
// The About picture: the chart emblem above the product's short name.
QPixmap AboutArt();

// The logo of the information and overview pages: the chart emblem.
constexpr int kLogoSize = 48;
QPixmap LogoArt();

// The tree's images by their 1-based index in the tree's image list: 1
// Server, 2 OSCollect, 3 Apps, 4 TransGroup, 5 CloseFolder, 6 Data, 7 ID,
// 8 OpenFolder, 9 SLA, 10 SpecRun, 11 Trans. Any other index is empty.
constexpr int kTreeImageSize = 16;
constexpr int kTreeImageCount = 11;
QPixmap TreeImage(int index);

}  // namespace zmo::config
