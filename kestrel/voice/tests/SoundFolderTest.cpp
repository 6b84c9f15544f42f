#include "kestrel/voice/SpokenNumbers.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

const QString SoundDir = QStringLiteral(KESTREL_SOUND_DIR);

// The folder must hold a recording for each number the monitor can ask for, and nothing else
// that could pass for one.
TEST(SoundFolder, HoldsExactlyTheSpokenNumbersAsMp3)
{
    QStringList expected;
    for (const QString& number : spokenNumbers())
        expected << number + QStringLiteral(".MP3");
    QStringList present = QDir(SoundDir).entryList({QStringLiteral("*.MP3")}, QDir::Files);
    expected.sort();
    present.sort();
    EXPECT_EQ(present.join(' ').toStdString(), expected.join(' ').toStdString())
        << "in " << SoundDir.toStdString();

    // Each is an MP3: an ID3 tag, or an MPEG audio frame's sync bits.
    for (const QString& number : spokenNumbers()) {
        SCOPED_TRACE(number.toStdString());
        QFile file(SoundDir + QLatin1Char('/') + number + QStringLiteral(".MP3"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(3);
        const bool mp3 = head.startsWith("ID3") ||
                         (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
                          (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0);
        EXPECT_TRUE(mp3);
        EXPECT_GT(file.size(), 1000);
    }
}

} // namespace
