#include "platform/padimagehandler.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

constexpr int kDefaultDpi = 96;

QImage imageOf(QTextDocument *document, const QTextImageFormat &format)
{
    const QVariant data = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (data.userType() == QMetaType::QImage)
        return data.value<QImage>();
    if (data.userType() == QMetaType::QPixmap)
        return data.value<QPixmap>().toImage();
    if (data.userType() == QMetaType::QByteArray)
        return QImage::fromData(data.toByteArray());
    return QImage();
}

QSize pictureSize(QTextDocument *document, const QTextImageFormat &format)
{
    const bool hasWidth = format.hasProperty(QTextFormat::ImageWidth);
    const bool hasHeight = format.hasProperty(QTextFormat::ImageHeight);
    const int width = qRound(format.width());
    const int height = qRound(format.height());
    QSize size(width, height);
    QImage image;
    if (!hasWidth || !hasHeight) {
        image = imageOf(document, format);
        const int w = image.width();
        const int h = image.height();
        if (!hasWidth)
            size.setWidth(hasHeight && h > 0 ? qRound(height * (w / qreal(h))) : w);
        if (!hasHeight)
            size.setHeight(hasWidth && w > 0 ? qRound(width * (h / qreal(w))) : h);
    }
    if (const QPaintDevice *device = document->documentLayout()->paintDevice()) {
        if (image.isNull())
            image = imageOf(document, format);
        if (!image.isNull())
            size *= qreal(device->logicalDpiY()) / qreal(kDefaultDpi);
    }
    return size;
}

} // namespace

PadImageHandler::PadImageHandler(QObject *parent)
    : QObject(parent)
{
}

QSizeF PadImageHandler::intrinsicSize(QTextDocument *document, int, const QTextFormat &format)
{
    return pictureSize(document, format.toImageFormat());
}

void PadImageHandler::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document,
                                 int, const QTextFormat &format)
{
    const QImage image = imageOf(document, format.toImageFormat());
    if (image.isNull())
        return;
    // Converted once per picture, not once per paint.
    const QString key = QStringLiteral("tavrel-picture-%1").arg(image.cacheKey());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(image);
        QPixmapCache::insert(key, pixmap);
    }
    painter->drawPixmap(rect, pixmap, pixmap.rect());
}
