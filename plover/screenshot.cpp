// Renders plover's window, filled with an example cell, offscreen to a PNG file.
//   plover-screenshot [out.png]
//   plover-screenshot --place "55.7, 37.5" out.png
// With a place, "MAP" is pressed against the service at PLOVER_SERVICE_BASE (cellsvc serve with
// the sample, say), and the cells around the place go beside it (out-rose.png).
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "platform/window/Offscreen.h"
#include "plover/Form1.h"
#include "plover/RoseWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    QString placeText;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--place")) {
        placeText = arguments.at(1);
        arguments = arguments.mid(2);
    }
    const QString out = arguments.value(0, QStringLiteral("plover.png"));

    FakeFileDialog dialog;
    FakePageLoader fakeLoader;
    NetworkPageLoader loader;
    NetworkPageLoader nearby;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form(dialog, placeText.isEmpty() ? static_cast<PageLoader&>(fakeLoader) : loader, opener,
               messages);
    form.setNearbyLoader(nearby);
    form.Txtoperator->setText(QStringLiteral("MTS 3G"));
    form.Txtmcc->setText(QStringLiteral("250"));
    form.Txtmnc->setText(placeText.isEmpty() ? QStringLiteral("01") : QStringLiteral("1"));
    form.Txtlac->setText(QStringLiteral("78"));
    form.Txtcellid->setText(QStringLiteral("314"));
    form.show();
    if (!placeText.isEmpty()) {
        form.TxtPlace->setText(placeText);
        form.TxtPlace_Return();
        form.Command1_Click();
        QEventLoop waiting;
        QTimer::singleShot(3000, &waiting, &QEventLoop::quit);
        waiting.exec();
        if (RoseWindow* rose = form.roseWindow()) {
            QString roseOut = out;
            roseOut.replace(QStringLiteral(".png"), QStringLiteral("-rose.png"));
            saveScreenshot(*rose, roseOut, "plover-screenshot");
        }
    }
    QApplication::processEvents();
    return saveScreenshot(form, out, "plover-screenshot");
}
