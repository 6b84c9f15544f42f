#pragma once

#include "tests/support/TestApp.h"

#include <QIcon>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

// The PNG sizes installed under share/icons/hicolor.
constexpr int InstalledIconSizes[] = {ICON_SIZES};

// The window and the desktop's menu must show one picture, at every size the menu may use.
inline void expectInstalledPicture(const QString& program, const QIcon& windowIcon)
{
    // Pixmaps hold premultiplied alpha; the PNG files straight alpha, which premultiplying rounds.
    constexpr QImage::Format drawn = QImage::Format_ARGB32_Premultiplied;
    ASSERT_FALSE(windowIcon.isNull());
    for (const int size : InstalledIconSizes) {
        SCOPED_TRACE(size);
        const QImage installed =
            QImage(QStringLiteral(ICON_PNG_DIR "/%1/%2.png").arg(program).arg(size))
                .convertToFormat(drawn);
        ASSERT_FALSE(installed.isNull());
        EXPECT_EQ(windowIcon.pixmap(QSize(size, size)).toImage().convertToFormat(drawn), installed);
    }
}

// One application per test, gone before exit.
class WithIconApplication : public testing::Test, WithApplication
{
};
