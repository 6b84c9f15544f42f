// Prints the folder in which the monitor looks for its recordings when it is started as this
// program: main() of kestrel hands QCoreApplication::applicationDirPath() to the voice, which
// takes "sound" inside it. Started through a symlink laid out like the installed bin/kestrel,
// the probe shows where the installed monitor looks.
#include "kestrel/voice/VoicePlay.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    const QCoreApplication app(argc, argv);
    const QByteArray folder = soundFolder(QCoreApplication::applicationDirPath()).toLocal8Bit();
    std::printf("%s\n", folder.constData());
    return 0;
}
