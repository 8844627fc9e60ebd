// Pictures as image files: a PNG of pixels, or a one-page PDF on which a
// picture draws itself, so that lines stay lines.
#pragma once

#include <QByteArray>

#include <functional>

class QPdfWriter;
class QPixmap;
class QSize;
class QWidget;

// The pixels as a PNG file.
QByteArray pngFile(const QPixmap& pixels);

// A PDF page of `size` device-independent pixels, each 1/96 inch as on
// screen, so that the fonts' points keep their size against the lines;
// `draw` paints on it at that resolution.
QByteArray pdfPage(QSize size, const std::function<void(QPdfWriter&)>& draw);

enum class ImageFormat { png, pdf };

// A widget as a PNG of its pixels, or as a PDF page it renders itself on.
QByteArray widgetImage(QWidget& widget, ImageFormat format);
