// Renders plover's window, filled with an example cell, offscreen to a PNG file.
//   plover-screenshot [out.png]
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
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

    if (!form.grab().save(out)) {
        std::fprintf(stderr, "plover-screenshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
