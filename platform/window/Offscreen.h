#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdio>

// The tools that draw without a display (screenshots, benchmarks) use Qt's offscreen platform
// unless the caller chose another. Call before the application object is made.
inline void preferOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Saves a picture of `window` as `path` (its type by the name's ending) and prints the path, or
// says on standard error, as `program`, that it cannot. Returns the exit status.
inline int saveScreenshot(QWidget& window, const QString& path, const char* program)
{
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "%s: cannot write %s\n", program, qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
