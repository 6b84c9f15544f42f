#include "kestrel/voice/SpokenNumbers.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace
{

const QString SoundDir = QStringLiteral(KESTREL_SOUND_DIR);

// The folder must hold a recording for each number the monitor can ask for, and nothing else
// that could pass for one.
TEST(SoundFolder, HoldsExactlyTheSpokenNumbersAsMp3)
{
    QSet<QString> expected;
    for (const QString& number : spokenNumbers())
        expected << number + QStringLiteral(".MP3");
    const QStringList files = QDir(SoundDir).entryList({QStringLiteral("*.MP3")}, QDir::Files);
    const QSet<QString> present(files.begin(), files.end());

    const auto listed = [](const QSet<QString>& names) {
        QStringList sorted(names.begin(), names.end());
        sorted.sort();
        return sorted.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_TRUE((expected - present).isEmpty())
        << "missing in " << SoundDir.toStdString() << ": " << listed(expected - present);
    EXPECT_TRUE((present - expected).isEmpty())
        << "never asked for: " << listed(present - expected);

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
