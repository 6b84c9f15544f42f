#include "platform/filedialog/QtFileDialog.h"
#include "platform/message/BoxMessageSink.h"
#include "platform/web/DesktopUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plover"));

    // The platform pieces outlive the window that uses them; dialogs and boxes then belong to it.
    QtFileDialog fileDialog;
    NetworkPageLoader pageLoader;
    DesktopUrlOpener urlOpener;
    BoxMessageSink messages;
    Form1 window(fileDialog, pageLoader, urlOpener, messages);
    fileDialog.setOwner(&window);
    messages.setOwner(&window);
    window.show();
    return app.exec();
}
