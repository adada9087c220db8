#pragma once

#include <QFont>

#include "shell/dialog_template.h"

// The dialog font: an 8-point sans serif at 96 dots per inch (11 pixels),
// Liberation Sans where installed, else DejaVu Sans, set a little tighter.
QFont DialogFont();

// Base units of a font: what the template's dialog units are measured in.
BaseUnits DialogBaseUnits(const QFont& font);
