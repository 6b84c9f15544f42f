#include "platform/web/DesktopUrlOpener.h"

#include "platform/web/tests/GuiApp.h"

#include <QDesktopServices>
#include <gtest/gtest.h>

namespace
{

// Stands in for the desktop's browser: QDesktopServices hands addresses of a scheme to it.
class BrowserStandIn : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> received;
public slots:
    void openAddress(const QUrl& url) { received << url; }
};

TEST(DesktopUrlOpener, HandsWebAddressesToTheDesktopAndRefusesOthers)
{
    guiApp();
    BrowserStandIn browser;
    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &browser, "openAddress");

    DesktopUrlOpener opener;
    const QUrl map(
        QStringLiteral("https://yandex.com/maps/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10"));
    EXPECT_TRUE(opener.open(map));
    EXPECT_TRUE(opener.open(QUrl(QStringLiteral("http://127.0.0.1:8642/x"))));
    EXPECT_FALSE(opener.open(QUrl(QStringLiteral("file:///etc/passwd"))));
    EXPECT_FALSE(opener.open(QUrl(QStringLiteral("mailto:someone@example.org"))));
    EXPECT_FALSE(opener.open(QUrl(QStringLiteral("https:///no-host"))));

    ASSERT_EQ(browser.received.size(), 2);
    EXPECT_EQ(browser.received[0], map);

    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

} // namespace

#include "DesktopUrlOpenerTest.moc"
