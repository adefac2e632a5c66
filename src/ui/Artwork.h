// Artwork: the program's pictures and window icon, compiled into the program as Qt resources
// under ":/artwork".
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace brindlewick {

// Makes the compiled-in pictures available. They live in a static library, whose resources
// are only linked in and registered when someone asks for them; safe to call repeatedly.
void RegisterArtwork();

// The window icon of both windows, in all its sizes.
QIcon WindowIcon();

// The picture ":/artwork/<name>.png", or its double-density "<name>@2x.png" when
// `devicePixelRatio` is above 1, so that it stays sharp on high-density screens. Either way
// the pixmap's size in device-independent pixels is that of the plain picture.
QPixmap ArtworkPixmap(const QString& name, qreal devicePixelRatio);

// The icon of an information (false) or error (true) message box, `size` device-independent
// pixels square, drawn at `devicePixelRatio` so that it is sharp at every scale factor (the
// style's own icons exist at 32 pixels only and are blown up above 1).
QPixmap MessageIconPixmap(bool error, int size, qreal devicePixelRatio);

}  // namespace brindlewick
