#pragma once
// The project's frame as the engine renders it, read the way the screen
// shows it (top row first), for tests that ask where an object stands.
#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>

// The frame at the time, width x height.
QImage RenderedFrame(float time, int width = 320, int height = 180);
// The bounding box of the pixels that pass the test; empty when none do.
QRect PixelsWhere(const QImage& image, const std::function<bool(QColor)>& test);
// The box of the pixels that differ from the frame's top-left pixel.
QRect DrawnBox(const QImage& image);
