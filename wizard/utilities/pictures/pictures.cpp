#include "wizard/utilities/pictures/pictures.h"

#include <QImage>
#include <QtGlobal>

#include <mutex>

// The resources live in a static library, so nothing would pull them into a program
// unless they are registered by name.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

bool LoadPictureFromResource(const QString& name, QPixmap& picture) {
    static std::once_flag registered;
    std::call_once(registered, registerPictures);
    QImage image;
    if (name.contains(QLatin1Char('/')) ||
        !image.load(QStringLiteral(":/JPEG/") + name, "JPG")) {
        qWarning("Picture %s is missing or damaged", qUtf8Printable(name));
        return false;
    }
    picture = QPixmap::fromImage(image);
    return true;
}
