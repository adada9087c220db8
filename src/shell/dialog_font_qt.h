#pragma once

#include <QFont>

#include "shell/dialog_template.h"

// The dialog font: an 8-point sans serif at 96 dots per inch (11 pixels),
// Liberation Sans where installed, else DejaVu Sans, set a little tighter.
QFont DialogFont();

// Base units of a font: what the template's dialog units are measured in.
BaseUnits DialogBaseUnits(const QFont& font);

// The readouts' font: the dialog font, condensed and then made smaller as
// far as needed for every text the analysis can produce to fit `width`
// pixels whole.
QFont ReadoutFont(const QFont& dialog_font, int width);
