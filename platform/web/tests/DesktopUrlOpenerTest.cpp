#include "platform/web/DesktopUrlOpener.h"

#include "tests/support/TestApp.h"

#include <QDesktopServices>
#include <gtest/gtest.h>

namespace
{

// Takes the browser's place: QDesktopServices hands it the addresses of the schemes it handles.
class BrowserStandIn : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> received;
public slots:
    void openAddress(const QUrl& url) { received << url; }
};

TEST(DesktopUrlOpener, HandsOnlyWebAddressesToTheDesktop)
{
    GuiApp app;
    BrowserStandIn browser;
    const QStringList schemes{"http", "https", "file", "javascript"};
    for (const QString& scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &browser, "openAddress");

    DesktopUrlOpener opener;
    const QUrl map(
        QStringLiteral("https://yandex.com/maps/?l=map/&pt=37.6,55.7&ll=37.6,55.7&z=10"));
    EXPECT_TRUE(opener.open(map));
    for (const char* refused : {"file://localhost/etc/passwd",
                                "javascript://example.org/%0Aalert(1)", "https:///no-host"})
        EXPECT_FALSE(opener.open(QUrl(QString::fromLatin1(refused)))) << refused;
    EXPECT_EQ(browser.received, QList<QUrl>{map});

    for (const QString& scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

} // namespace

#include "DesktopUrlOpenerTest.moc"
