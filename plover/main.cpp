// plover [FILE]: the cell locator; FILE, an ID file, is opened into the fields at start.
#include "platform/cli/CommandLine.h"
#include "platform/filedialog/QtFileDialog.h"
#include "platform/message/BoxMessageSink.h"
#include "platform/web/DesktopUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/Form1.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("plover"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Shows where a mobile network cell lies: opens an ID file, asks the cell location "
        "service and opens the place on a web map.\n\nEnvironment: PLOVER_SERVICE_BASE and "
        "PLOVER_MAP_BASE replace the service's and the map's base addresses."));
    options.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("An ID file to open at start."),
                                  QStringLiteral("[FILE]"));
    if (const std::optional<int> status = readCommandLineFirst(argc, argv, options, 1))
        return *status;

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrelplover.plover"));

    // The platform pieces outlive the window that uses them; dialogs and boxes then belong to it.
    QtFileDialog fileDialog;
    NetworkPageLoader pageLoader;
    NetworkPageLoader nearbyLoader; // the cells around the user's place
    DesktopUrlOpener urlOpener;
    BoxMessageSink messages;
    Form1 window(fileDialog, pageLoader, urlOpener, messages);
    window.setNearbyLoader(nearbyLoader);
    fileDialog.setOwner(&window);
    messages.setOwner(&window);
    window.show();
    const QStringList files = options.positionalArguments();
    if (!files.isEmpty() && !QFileInfo::exists(files.first()))
        messages.show(QStringLiteral("plover"),
                      QStringLiteral("\u201c%1\u201d does not exist.").arg(files.first()));
    else if (!files.isEmpty())
        window.openIdFile(files.first());
    return app.exec();
}
