#include "packaging/icons/ProgramIcon.h"

#include "kestrel/AppIcon.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"

#include <QApplication>
#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace
{

// The PNG sizes installed under share/icons/hicolor.
constexpr int InstalledSizes[] = {ICON_SIZES};

// Pixmaps hold premultiplied alpha; the PNG files straight alpha, which premultiplying rounds.
constexpr QImage::Format Drawn = QImage::Format_ARGB32_Premultiplied;

QImage installedPicture(const QString& program, int size)
{
    return QImage(QStringLiteral(ICON_PNG_DIR "/%1/%2.png").arg(program).arg(size))
        .convertToFormat(Drawn);
}

QIcon ploverWindowIcon()
{
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    const Form1 form{dialog, loader, opener, messages};
    return form.windowIcon();
}

struct WindowIconCase {
    const char* program;
    std::function<QIcon()> windowIcon;
};

void PrintTo(const WindowIconCase& row, std::ostream* out)
{
    *out << row.program;
}

class WindowIcon : public testing::TestWithParam<WindowIconCase>
{
protected:
    inline static int argc_ = 1;
    inline static char name_[] = "program_icon_tests";
    inline static char* argv_[] = {name_, nullptr};
    QApplication app{argc_, argv_};
};

// The window and the desktop's menu must show one picture, at every size the menu may use.
TEST_P(WindowIcon, ShowsTheInstalledPictureAtEverySize)
{
    const QString program = QString::fromLatin1(GetParam().program);
    const QIcon icon = GetParam().windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : InstalledSizes) {
        SCOPED_TRACE(size);
        const QImage installed = installedPicture(program, size);
        ASSERT_FALSE(installed.isNull());
        const QImage shown = icon.pixmap(QSize(size, size)).toImage().convertToFormat(Drawn);
        EXPECT_EQ(shown, installed);
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, WindowIcon,
                         testing::Values(WindowIconCase{"kestrel", kestrelIcon},
                                         WindowIconCase{"plover", ploverWindowIcon}),
                         [](const auto& info) { return std::string(info.param.program); });

} // namespace
