// The main window's MDI area: the tree at the left and one page beside it.
// Children are frameless sub-windows placed by the program, not by the user.
#pragma once

class QMdiArea;

namespace zmo::config {

class FormBase;

// Screen units of the forms' measures (twips) per pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int Twips(int twips) { return twips / kTwipsPerPixel; }

// The designed measures, in twips: the main window, the tree at its left
// and a page beside the tree.
constexpr int kMainWidth = 9650;
constexpr int kMainHeight = 6300;
constexpr int kTreeWidth = 3564;
constexpr int kTreeHeight = 4995;
constexpr int kPageWidth = 5884;
constexpr int kPageHeight = 4995;

// Adds form to the area as a hidden, frameless child. Returns form.
FormBase* AddMdiChild(QMdiArea* area, FormBase* form);
// Places the tree at the area's top left corner with the size it was given.
void PlaceTree(FormBase* tree);
// Hides every child but tree and page, places page beside the tree at its
// top, and shows it.
void ShowBesideTree(QMdiArea* area, FormBase* tree, FormBase* page);

}  // namespace zmo::config
