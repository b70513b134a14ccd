// The splash and About artwork, drawn by the program itself.
#pragma once

#include <QPixmap>

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
