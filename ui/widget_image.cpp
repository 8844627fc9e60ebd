#include "ui/widget_image.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QWidget>

QByteArray pngFile(const QPixmap& pixels) {
    QByteArray contents;
    QBuffer buffer(&contents);
    buffer.open(QIODevice::WriteOnly);
    pixels.save(&buffer, "PNG");
    return contents;
}

QByteArray pdfPage(QSize size, const std::function<void(QPdfWriter&)>& draw) {
    QByteArray contents;
    QBuffer buffer(&contents);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(96);
    writer.setPageSize(QPageSize(QSizeF(size) * 72 / 96, QPageSize::Point));
    writer.setPageMargins({});
    draw(writer);
    return contents;
}

QByteArray widgetImage(QWidget& widget, ImageFormat format) {
    if (format == ImageFormat::png) return pngFile(widget.grab());
    return pdfPage(widget.size(), [&widget](QPdfWriter& writer) {
        QPainter painter(&writer);
        widget.render(&painter);
    });
}
