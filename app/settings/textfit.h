// Fitting the twips-sized forms to the font the desktop really uses.
#pragma once

class QWidget;

// Forms are laid out in twips for the usual 96 DPI font; with larger fonts
// (144 DPI, a bigger system font) their texts would be cut. Grows each text
// widget to what its text needs, and each parent, the form included, to
// hold its children.
namespace TextFit {

void fitTexts(QWidget *form);

} // namespace TextFit
