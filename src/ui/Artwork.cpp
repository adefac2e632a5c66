#include "ui/Artwork.h"

#include <QFile>
#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QSize>
#include <memory>

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

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon as Qt's own file-based icon holds it: every size decoded when it is added.
QIcon LoadWindowIcon() {
    RegisterArtwork();
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addFile(QStringLiteral(":/artwork/icon-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

// The window icon, decoded only when something first draws it or asks for a picture of it.
// Decoding its seven pictures took a sixth of the main window's start-up, yet many window
// systems (Wayland, the off-screen platform) never ask for the icon of a window; those that
// do (X11) get exactly the pictures of the file-based icon, which this one hands on.
class LazyWindowIconEngine final : public QIconEngine {
public:
    LazyWindowIconEngine() : m_icon(std::make_shared<QIcon>()) {}

    QIconEngine* clone() const override { return new LazyWindowIconEngine(*this); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        // As Qt's file-based icon paints: a picture for the device's pixels, drawn in `rect`.
        const QPaintDevice* device = painter->device();
        const qreal ratio = device != nullptr ? device->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // At a ratio of 1 QIcon asks its engine for exactly this size and nothing more.
        return Loaded().pixmap(size, 1.0, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // The file-based icon's pictures have exactly the size it reports for a request.
        return pixmap(size, mode, state).size();
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Loaded().availableSizes(mode, state);
    }

    bool isNull() override { return false; }

private:
    LazyWindowIconEngine(const LazyWindowIconEngine&) = default;

    const QIcon& Loaded() {
        if (m_icon->isNull()) {
            *m_icon = LoadWindowIcon();
        }
        return *m_icon;
    }

    // Shared by the clones, so the pictures are decoded once whichever copy asks first.
    std::shared_ptr<QIcon> m_icon;
};

}  // namespace

QIcon WindowIcon() {
    return QIcon(new LazyWindowIconEngine);
}

namespace {

// The resource of picture `name` ("banner", "about@2x"). The banner, decoded at every start,
// is kept as an uncompressed PPM, which the resource compiler compresses as well as PNG
// does and which decodes in a fifth of the time (a tenth of the window's start-up went into
// decoding its PNG); the other pictures are PNGs.
QString ArtworkPath(const QString& name) {
    const QString plain = QStringLiteral(":/artwork/%1.ppm").arg(name);
    return QFile::exists(plain) ? plain : QStringLiteral(":/artwork/%1.png").arg(name);
}

}  // namespace

QPixmap ArtworkPixmap(const QString& name, qreal devicePixelRatio) {
    RegisterArtwork();
    if (devicePixelRatio > 1.0) {
        QPixmap sharp(ArtworkPath(name + QStringLiteral("@2x")));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(ArtworkPath(name));
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
