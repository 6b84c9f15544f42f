#include "platform/inventory/SysfsAttributes.h"

#include <QFile>
#include <QFileInfo>

QString readAttribute(const QString& directory, const QString& name)
{
    QFile file(directory + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readLine(4096)).trimmed();
}

QString ancestorWith(const QString& start, const char* attribute, const QString& rootPrefix)
{
    QString directory = start;
    while (directory.startsWith(rootPrefix)) {
        if (QFileInfo(directory + QLatin1Char('/') + QLatin1String(attribute)).isFile()) {
            return directory;
        }
        directory = QFileInfo(directory).path();
    }
    return {};
}

QString usbPlugIn(const QString& usbDeviceDir)
{
    return QFileInfo(usbDeviceDir).fileName() + QLatin1Char('#') +
           readAttribute(usbDeviceDir, QStringLiteral("devnum"));
}

QString rootPrefixOf(const QString& root)
{
    QString prefix = QFileInfo(root).canonicalFilePath();
    if (!prefix.endsWith(QLatin1Char('/'))) {
        prefix += QLatin1Char('/');
    }
    return prefix;
}
