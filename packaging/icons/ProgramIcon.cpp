#include "packaging/icons/ProgramIcon.h"

#include <QDir>
#include <QPixmap>

QIcon programIcon(const QString& program)
{
    QIcon icon;
    const QDir folder(QStringLiteral(":/icons/") + program);
    const auto pictures = folder.entryInfoList({QStringLiteral("*.png")}, QDir::Files);
    for (const QFileInfo& picture : pictures) {
        icon.addPixmap(QPixmap(picture.filePath()));
    }
    return icon;
}
