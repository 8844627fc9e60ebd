// A widget as an image file: a PNG of its pixels, or a one-page PDF of its
// size on which it paints itself, so that lines stay lines.
#pragma once

#include <QByteArray>

class QWidget;

enum class ImageFormat { png, pdf };

QByteArray widgetImage(QWidget& widget, ImageFormat format);
