#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include "display/display_colours.h"

struct WaveformPicture;

QColor ToQColor(Rgb colour);

// The labels' face: bold, in the family of `family_font`.
QFont LabelFont(const QFont& family_font);

// Erases the image with the background, then draws the picture with the
// display's pens: the bars, the trace, then each label (in the LabelFont of
// `label_font`) on an opaque box.
void DrawWaveformPicture(QImage& image, const WaveformPicture& picture, Rgb background,
                         const QFont& label_font);
