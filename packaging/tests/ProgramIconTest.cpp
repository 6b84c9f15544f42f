#include "packaging/icons/ProgramIcon.h"

#include "kestrel/Form1.h"
#include "kestrel/monitor/MonitorCore.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tests/support/TestApp.h"

#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

namespace
{

// The PNG sizes installed under share/icons/hicolor.
constexpr int InstalledIconSizes[] = {ICON_SIZES};

// The window must show the desktop menu's picture, at every size the menu may use.
void expectInstalledPicture(const QString& program, const QIcon& icon)
{
    // Pixmaps hold premultiplied alpha; the PNG files straight alpha, which premultiplying rounds.
    constexpr QImage::Format drawn = QImage::Format_ARGB32_Premultiplied;
    ASSERT_FALSE(icon.isNull());
    for (const int size : InstalledIconSizes) {
        SCOPED_TRACE(size);
        const QImage installed =
            QImage(QStringLiteral(ICON_PNG_DIR "/%1/%2.png").arg(program).arg(size))
                .convertToFormat(drawn);
        ASSERT_FALSE(installed.isNull());
        EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().convertToFormat(drawn), installed);
    }
}

// Both programs name their window Form1, so the locator's window is checked in its own test
// (plover/tests) to show programIcon("plover").
TEST(ProgramIcon, IsTheInstalledPictureAndTheMonitorsWindowShowsIt)
{
    WidgetApp app;
    FakeCommControl port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer player;
    FakeFileDialog dialog;
    MonitorCore core({port, inventory});
    const Form1 form(core, {player, dialog, QString()});
    expectInstalledPicture(QStringLiteral("kestrel"), form.windowIcon());
    expectInstalledPicture(QStringLiteral("plover"), programIcon(QStringLiteral("plover")));
}

} // namespace
