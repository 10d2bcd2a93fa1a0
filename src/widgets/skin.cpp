#include "widgets/skin.h"

#include <QDebug>

namespace korvo {

const char* const SkinFontFamily = "Microsoft YaHei";

QPixmap loadSkin(const QString& path)
{
    QPixmap pixmap;
    if (path.isEmpty())
        return pixmap;
    if (!pixmap.load(path))
        qWarning("Unable to load picture %s.\n", qUtf8Printable(path));
    return pixmap;
}

} // namespace korvo
