#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include "display/display_colours.h"

struct WaveformPicture;

QColor ToQColor(Rgb colour);

// Erases the image with the background, then draws the picture with the
// display's pens: each label (bold, in the family of `label_font`) on an
// opaque box, its bar, then the trace.
void DrawWaveformPicture(QImage& image, const WaveformPicture& picture, Rgb background,
                         const QFont& label_font);
