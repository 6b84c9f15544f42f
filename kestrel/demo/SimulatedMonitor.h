#pragma once

#include "kestrel/Form1.h"
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/inventory/FakeDeviceInventory.h"
#include "platform/serial/SerialCommControl.h"
#include "platform/sound/FakeSoundPlayer.h"
#include "tools/modemsim/ModemSimulator.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// The monitor's main window on a simulated stick. The simulator serves a pseudo-terminal and
// keeps a link to it named ttyUSB3 in a private folder; the real serial port control maps port
// N to ttyUSB<N> in that folder, and the device list names the stick's "PC UI" port as USB3. So
// Form_Load finds, opens and polls the stick as it would a real one, and a replugged stick is
// found again under the same name.
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
    QString errorString() const { return error_; }

    modemsim::ModemSimulator& simulator() { return simulator_; }
    SerialCommControl& port() { return port_; }
    // Valid after a successful start().
    Form1& window() { return *window_; }
    // The dialog behind "Save id": set its next choices before pressing the button.
    FakeFileDialog& fileDialog() { return dialog_; }

    // The device path that port number `number` maps to (it exists only for kPortNumber).
    QString portPath(qint16 number) const;
    // The caption under which the device list shows the stick.
    static QString stickCaption();

private:
    QTemporaryDir devices_;
    modemsim::ModemSimulator simulator_;
    SerialCommControl port_;
    FakeDeviceInventory inventory_;
    FakeSoundPlayer sound_;
    FakeFileDialog dialog_;
    std::unique_ptr<Form1> window_;
    QString error_;
};
