#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>

// A PNG of any kind (palette, grey, 16-bit, with or without alpha) read one row at a time, each
// row averaged into its place in an image fitted into box; a huge scan is never held whole.
// Images within the box keep their size. Null when the bytes are not a PNG this can read, and
// for an interlaced one, whose rows do not come in order.
QImage readPngScaled(const QByteArray& bytes, const QSize& box);
