// Renders plover's window, filled with an example cell, offscreen to a PNG file.
//   plover-screenshot [out.png]
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/window/Offscreen.h"
#include "plover/Form1.h"

#include <QApplication>
#include <QLineEdit>

int main(int argc, char* argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("plover.png");

    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form(dialog, loader, opener, messages);
    form.Txtoperator->setText(QStringLiteral("MTS 3G"));
    form.Txtmcc->setText(QStringLiteral("250"));
    form.Txtmnc->setText(QStringLiteral("01"));
    form.Txtlac->setText(QStringLiteral("78"));
    form.Txtcellid->setText(QStringLiteral("314"));
    form.show();
    QApplication::processEvents();

    return saveScreenshot(form, out, "plover-screenshot");
}
