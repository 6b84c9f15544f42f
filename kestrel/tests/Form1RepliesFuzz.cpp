// Feeds arbitrary reply texts through a real Form1 (offscreen): three ticks of its polling
// cycle over a scripted port, then a look at every field the cycle writes. Nothing may crash,
// Timer1 must run after every tick, and each field may only hold what the reply steps can cut:
// texts out of the replies, levels the index formula gives, decimal location numbers.
#include "kestrel/Form1.h"
#include "kestrel/GenerationColours.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/monitor/MonitorCore.h"
#include "kestrel/tests/FieldCheck.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/serial/FakeCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "platform/window/Offscreen.h"
#include "tests/support/TestApp.h"
#include "tools/fuzz/FuzzCheck.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>

namespace
{

// One application serves every input. Qt makes its font and style caches on first use, after
// the application, so at exit they would be torn down before it and leave what they hold to the
// leak checker. So a first window is built and drawn here, and only then the exit handler that
// deletes the application is registered: it runs before the caches go.
void ensureApplication()
{
    if (QApplication::instance()) {
        return;
    }
    preferOffscreenPlatform();
    new WidgetApp;
    {
        FakeCommControl port;
        FakeDeviceInventory inventory;
        FakeSoundPlayer sound;
        FakeFileDialog dialog;
        MonitorCore core({port, inventory});
        Form1 warm(core, {sound, dialog, QString()});
        warm.grab();
    }
    std::atexit([] { delete QApplication::instance(); });
}

// Replies of a whole cycle; the input's pieces are spliced into them so that short inputs
// reach the cuts.
const char* const kTemplates[] = {
    "\r\n+COPS: 0,0,\"Mobile Net\",2\r\n\r\nOK\r\n",
    "\r\n+COPS: 0,2,\"00101\",0\r\n\r\nOK\r\n",
    "\r\n+COPS: 0\r\n\r\nOK\r\n",
    "\r\n+CSQ: 20,99\r\n\r\nOK\r\n",
    "\r\n+CGREG: 2,1, 1A2B, 00C3D4E5\r\n\r\nOK\r\n",
    "\r\n+COPS: 0,2,\"310260\",7\r\n\r\nOK\r\n",
    "\r\n+CEREG: 2,1,\"1A2B\",\"01A2D001\",7\r\n\r\nOK\r\n",
    "\r\nOK\r\n",
};
constexpr std::size_t kTemplateCount = sizeof kTemplates / sizeof kTemplates[0];

// Pieces of the input separated by NUL bytes. A piece's first byte chooses a failed read, the
// piece as it is, or the piece spliced into a template, and Latin-1 or UTF-8 decoding.
std::deque<std::optional<QString>> readsFrom(const std::uint8_t* data, std::size_t size)
{
    std::deque<std::optional<QString>> reads;
    std::size_t start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && data[end] != 0) {
            ++end;
        }
        if (end > start) {
            const std::uint8_t choice = data[start];
            const char* bytes = reinterpret_cast<const char*>(data + start + 1);
            const auto length = static_cast<qsizetype>(end - start - 1);
            const QString piece = (choice & 1) ? QString::fromUtf8(bytes, length)
                                               : QString::fromLatin1(bytes, length);
            const std::size_t pick = (choice >> 1) % (kTemplateCount + 2);
            if (pick == kTemplateCount) {
                reads.emplace_back(std::nullopt);
            } else if (pick == kTemplateCount + 1) {
                reads.emplace_back(piece);
            } else {
                QString reply = QString::fromLatin1(kTemplates[pick]);
                reply.insert((choice >> 4) % (reply.size() + 1), piece);
                reads.emplace_back(reply);
            }
        }
        start = end + 1;
    }
    return reads;
}

void checkFields(const Form1& form, const QStringList& replies, const QColor& startColour)
{
    FUZZ_CHECK(impossibleField(form, replies).isEmpty());
    const int bar = form.ProgressBar1->Value();
    FUZZ_CHECK(bar >= 0 && bar <= 31);
    const at::DbmLevel level = LevelDbm();
    FUZZ_CHECK(!level || (*level >= -113 && *level <= 0 && (*level + 113) % 2 == 0));
    const QColor colour = form.LblCOPS->palette().color(QPalette::WindowText);
    bool known = colour == startColour || colour == Form1::staleColour();
    for (const auto generation :
         {at::Generation::G2, at::Generation::G3, at::Generation::G4, at::Generation::G5}) {
        known = known || colour == generationColour(generation, startColour);
    }
    FUZZ_CHECK(known);
    FUZZ_CHECK(form.ProgressBar1->BarColorStart() == form.ProgressBar1->BarColorEnd());
    FUZZ_CHECK(form.core().Timer1->isActive());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    ensureApplication();
    FakeCommControl port;
    FakeDeviceInventory inventory;
    FakeSoundPlayer sound;
    FakeFileDialog dialog;
    if ((data[0] & 2) == 0) {
        port.setPortOpen(true);
    }
    port.scriptedReads = readsFrom(data + 1, size - 1);
    QStringList replies;
    for (const auto& read : port.scriptedReads) {
        if (read) {
            replies << *read;
        }
    }
    LevelDbm() = std::nullopt;

    MonitorCore core({port, inventory});
    Form1 form(core, {sound, dialog, QString()});
    form.Check1->setChecked(data[0] & 1);
    const QColor startColour = form.LblCOPS->palette().color(QPalette::WindowText);
    form.core().Timer1->start();
    for (int tick = 0; tick < 3; ++tick) {
        const int readsBefore = port.readCount;
        form.core().Timer1_Timer();
        FUZZ_CHECK(port.readCount - readsBefore <= 5 * AtTransaction::kReadLimit);
        // The raw view holds a reply, cut at the edit field's length limit.
        const QString raw = form.Text1->text();
        FUZZ_CHECK(raw.isEmpty() ||
                   std::any_of(replies.begin(), replies.end(),
                               [&raw](auto& reply) { return reply.startsWith(raw); }));
        checkFields(form, replies, startColour);
    }
    return 0;
}
