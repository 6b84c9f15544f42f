#pragma once

#include "platform/filedialog/FileDialog.h"
#include "platform/hotplug/DeviceWatch.h"
#include "platform/inventory/DeviceInventory.h"
#include "platform/message/MessageSink.h"
#include "platform/serial/CommControl.h"
#include "platform/sound/PcmOutput.h"
#include "platform/sound/SoundPlayer.h"

#include <QString>

// Everything outside the window that the monitor talks to, handed in by main (or a test).
struct MonitorPlatform {
    CommControl& MSComm1;
    DeviceInventory& inventory;
    SoundPlayer& MMControl1;
    FileDialog& cmdOpenFile;
    QString executableFolder;
    // Tells when ttys come and go; optional, the monitor also looks by itself every second.
    DeviceWatch* deviceWatch = nullptr;
    // Plays the aiming tone; optional.
    PcmOutput* toneOutput = nullptr;
    // The questions and failures of "Save id" and of recording readings; optional, message
    // boxes over the window by default.
    MessageSink* messages = nullptr;
};
