#include "packaging/tests/IconCheck.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "plover/Form1.h"

namespace
{

using PloverWindowIcon = WithIconApplication;

TEST_F(PloverWindowIcon, ShowsTheInstalledPictureAtEverySize)
{
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    const Form1 form{dialog, loader, opener, messages};
    expectInstalledPicture(QStringLiteral("plover"), form.windowIcon());
}

} // namespace
