#include "ui/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QSize>

// Q_INIT_RESOURCE declares a function in the global namespace, so it must be used out here.
static void InitArtworkResources() {
    Q_INIT_RESOURCE(artwork);
}

namespace brindlewick {

void RegisterArtwork() {
    static const bool registered = [] {
        InitArtworkResources();
        return true;
    }();
    static_cast<void>(registered);
}

QIcon WindowIcon() {
    RegisterArtwork();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/artwork/icon-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QPixmap ArtworkPixmap(const QString& name, qreal devicePixelRatio) {
    RegisterArtwork();
    if (devicePixelRatio > 1.0) {
        QPixmap sharp(QStringLiteral(":/artwork/%1@2x.png").arg(name));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(QStringLiteral(":/artwork/%1.png").arg(name));
}

QPixmap MessageIconPixmap(bool error, int size, qreal devicePixelRatio) {
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(static_cast<qreal>(pixels) / size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit square whatever the size.
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(error ? QColor(0xC6, 0x28, 0x28) : QColor(0x1E, 0x63, 0xC4));
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    painter.setBrush(Qt::white);
    if (error) {
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        painter.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
    } else {
        painter.drawEllipse(QRectF(13.5, 6.5, 5, 5));
        painter.drawRoundedRect(QRectF(13.75, 13.5, 4.5, 12.5), 1.5, 1.5);
    }
    return pixmap;
}

}  // namespace brindlewick
