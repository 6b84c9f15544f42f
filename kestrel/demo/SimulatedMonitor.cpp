#include "kestrel/demo/SimulatedMonitor.h"

#include "platform/inventory/UsbTtyDescription.h"

#include <QCoreApplication>

SimulatedMonitor::SimulatedMonitor() : port_([this](qint16 number) { return portPath(number); }) {}

// The window closes the port before the simulator goes away.
SimulatedMonitor::~SimulatedMonitor() = default;

QString SimulatedMonitor::portPath(qint16 number) const
{
    if (number < 0 || !devices_.isValid()) {
        return {};
    }
    return devices_.filePath(QStringLiteral("ttyUSB%1").arg(number));
}

QString SimulatedMonitor::stickCaption()
{
    return huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(kPortNumber);
}

bool SimulatedMonitor::start()
{
    if (!devices_.isValid()) {
        error_ = QStringLiteral("Cannot make a folder for the device link: %1")
                     .arg(devices_.errorString());
        return false;
    }
    simulator_.setLinkPath(portPath(kPortNumber));
    if (!simulator_.start()) {
        error_ = simulator_.errorString();
        return false;
    }
    inventory_.list = QList<DeviceEntry>{{huaweiPcUiDescription, stickCaption()}};
    window_ = std::make_unique<Form1>(MonitorPlatform{port_, inventory_, sound_, dialog_,
                                                      QCoreApplication::applicationDirPath()});
    window_->Form_Load();
    return true;
}
