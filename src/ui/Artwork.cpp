#include "ui/Artwork.h"

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

}  // namespace brindlewick
