#include "ui/widget_image.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QWidget>

QByteArray widgetImage(QWidget& widget, ImageFormat format) {
    QByteArray contents;
    QBuffer buffer(&contents);
    buffer.open(QIODevice::WriteOnly);
    if (format == ImageFormat::pdf) {
        // One device-independent pixel to the point's 1/96 inch, as on screen.
        QPdfWriter writer(&buffer);
        writer.setResolution(96);
        writer.setPageSize(QPageSize(QSizeF(widget.size()) * 72 / 96, QPageSize::Point));
        writer.setPageMargins({});
        QPainter painter(&writer);
        widget.render(&painter);
    } else {
        widget.grab().save(&buffer, "PNG");
    }
    return contents;
}
