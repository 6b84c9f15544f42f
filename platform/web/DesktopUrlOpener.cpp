#include "platform/web/DesktopUrlOpener.h"

#include <QDesktopServices>

bool DesktopUrlOpener::open(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    return QDesktopServices::openUrl(url);
}
