#pragma once

#include "kestrel/Form1.h"
#include "kestrel/monitor/MonitorCore.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeSysfs.h"
#include "platform/inventory/SysfsDeviceInventory.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tools/modemsim/HilinkServer.h"
#include "tools/modemsim/ModemSimulator.h"
#include "tools/modemsim/Scenario.h"

#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

// The monitor's main window on a simulated stick. The simulator serves a pseudo-terminal and
// keeps a link to it named ttyUSB3 in a private folder; the real serial port control maps port
// N to ttyUSB<N> in that folder, and the real device list reads a fake sysfs tree in which the
// stick's "PC UI" port is ttyUSB3. So Form_Load finds, opens and polls the stick as it would a
// real one. Pulling the stick takes it out of both; plugging it in again puts it back, under
// the same number or another. The monitor core runs in the caller's thread, or in a thread of
// its own as in the program (setOwnThread).
//
// A QApplication must exist before start().
class SimulatedMonitor
{
public:
    static constexpr qint16 kPortNumber = 3;

    SimulatedMonitor();
    ~SimulatedMonitor();
    SimulatedMonitor(const SimulatedMonitor&) = delete;
    SimulatedMonitor& operator=(const SimulatedMonitor&) = delete;

    // Starts the simulator (configure it first through simulator() if need be), then builds
    // the window and loads it, which opens the port and starts Timer1. False, with
    // errorString(), when the simulator cannot start.
    bool start();
    // Where the aiming tone plays (before start; none by default, so tests stay quiet).
    void setToneOutput(PcmOutput* output) { toneOutput_ = output; }
    // Polls in a thread of its own, as the program does (before start).
    void setOwnThread(bool own) { ownThread_ = own; }
    // A HiLink stick instead (before start): no AT port in the device list; the simulator
    // serves the stick's web API on 127.0.0.1, and the window opens it from the port box as a
    // user does with its address. Pulling the stick stops the web server.
    void setHilink(bool on) { hilinkOnly_ = on; }
    // "HiLink 127.0.0.1:<port>", valid after start() with setHilink.
    QString hilinkBoxText() const;
    QString errorString() const { return error_; }

    modemsim::ModemSimulator& simulator() { return simulator_; }
    SerialCommControl& port() { return port_; }
    // Valid after a successful start().
    Form1& window() { return *window_; }
    MonitorCore& core() { return *core_; }
    // The dialog behind "Save id": set its next choices before pressing the button.
    FakeFileDialog& fileDialog() { return dialog_; }

    // The device path that port number `number` maps to (it exists only while the stick is
    // plugged in under that number).
    QString portPath(qint16 number) const;
    // The caption under which the device list shows the stick's AT port as ttyUSB<number>.
    static QString stickCaption(qint16 number = kPortNumber);

    // Pull the stick: its tty hangs up and the device list loses it.
    void unplugStick();
    // Plug it in again with its AT port as ttyUSB<number>. False with errorString() when the
    // simulator cannot.
    bool replugStick(qint16 number);
    // A scenario step, with unplug and replug done as above ("replug ttyUSB4" for another
    // number); anything else goes to the simulator. Returns what went wrong, or "".
    QString apply(const modemsim::ScenarioAction& action);

    FakeSoundPlayer& sound() { return sound_; }

private:
    QTemporaryDir devices_;
    FakeSysfs sysfs_;
    QString stickDevice_; // the stick's folder in the sysfs tree; "" while unplugged
    modemsim::ModemSimulator simulator_;
    SerialCommControl port_;
    SysfsDeviceInventory inventory_;
    FakeSoundPlayer sound_;
    FakeFileDialog dialog_;
    PcmOutput* toneOutput_ = nullptr;
    bool ownThread_ = false;
    bool hilinkOnly_ = false;
    std::unique_ptr<modemsim::HilinkServer> hilink_;
    QThread coreThread_;
    std::unique_ptr<MonitorCore> core_;
    std::unique_ptr<Form1> window_;
    QString error_;
};
