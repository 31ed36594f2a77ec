#pragma once

#include <QObject>
#include <QTextObjectInterface>

// Pictures in the text: sized from the picture's format (a side left open follows
// the picture's own proportions) and drawn from the document's image resources.
class PadImageHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit PadImageHandler(QObject *parent = nullptr);

    QSizeF intrinsicSize(QTextDocument *document, int posInDocument,
                         const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document,
                    int posInDocument, const QTextFormat &format) override;
};
