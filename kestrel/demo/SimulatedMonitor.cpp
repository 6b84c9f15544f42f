#include "kestrel/demo/SimulatedMonitor.h"

#include "kestrel/serial/PortText.h"
#include "platform/inventory/UsbTtyDescription.h"
#include "tools/modemsim/ScenarioPlayer.h"

#include <QComboBox>
#include <QCoreApplication>

namespace
{

// Where the stick sits on the bus; it comes back to the same place.
const QString kBusPort = QStringLiteral("1-8.4");

} // namespace

SimulatedMonitor::SimulatedMonitor()
    : port_([this](qint16 number) { return portPath(number); }),
      inventory_(sysfs_.root(), sysfs_.routeFile())
{
}

// The core closes the port before the simulator goes away, and the web server goes first.
SimulatedMonitor::~SimulatedMonitor()
{
    if (core_) {
        core_->finish();
    }
    hilink_.reset();
}

QString SimulatedMonitor::hilinkBoxText() const
{
    return hilink_ ? ::hilinkBoxText(QStringLiteral("127.0.0.1:%1").arg(hilink_->port()))
                   : QString();
}

QString SimulatedMonitor::portPath(qint16 number) const
{
    if (number < 0 || !devices_.isValid()) {
        return {};
    }
    return devices_.filePath(QStringLiteral("ttyUSB%1").arg(number));
}

QString SimulatedMonitor::stickCaption(qint16 number)
{
    return huaweiPcUiDescription + QStringLiteral(" (USB%1)").arg(number);
}

void SimulatedMonitor::unplugStick()
{
    simulator_.unplug();
    if (!stickDevice_.isEmpty()) {
        sysfs_.unplug(stickDevice_);
        stickDevice_.clear();
    }
}

bool SimulatedMonitor::replugStick(qint16 number)
{
    // The port appears before the device list shows it, as udev makes the node first.
    if (!simulator_.replug(portPath(number))) {
        error_ = simulator_.errorString();
        return false;
    }
    if (stickDevice_.isEmpty() && !hilinkOnly_) {
        stickDevice_ = sysfs_.plugHuaweiStick(kBusPort, number);
    }
    return true;
}

QString SimulatedMonitor::apply(const modemsim::ScenarioAction& action)
{
    if (std::holds_alternative<modemsim::action::Unplug>(action)) {
        unplugStick();
        return {};
    }
    if (const auto* replug = std::get_if<modemsim::action::Replug>(&action)) {
        const QString name = replug->linkName.isEmpty()
                                 ? QStringLiteral("ttyUSB%1").arg(kPortNumber)
                                 : replug->linkName;
        bool numbered = name.startsWith(QLatin1String("ttyUSB"));
        const int number = name.mid(6).toInt(&numbered);
        if (!numbered || number < 1 || number > 255) {
            return QStringLiteral("replug %1: the simulated stick plugs in as ttyUSB<N>").arg(name);
        }
        return replugStick(static_cast<qint16>(number)) ? QString() : error_;
    }
    return modemsim::applyAction(simulator_, action);
}

bool SimulatedMonitor::start()
{
    if (!devices_.isValid() || !sysfs_.valid()) {
        error_ = QStringLiteral("Cannot make a folder for the device link: %1")
                     .arg(devices_.errorString());
        return false;
    }
    simulator_.setLinkPath(portPath(kPortNumber));
    if (!simulator_.start()) {
        error_ = simulator_.errorString();
        return false;
    }
    if (hilinkOnly_) {
        hilink_ = std::make_unique<modemsim::HilinkServer>(simulator_);
        if (!hilink_->listen(QHostAddress::LocalHost, 0)) {
            error_ = hilink_->errorString();
            return false;
        }
    } else {
        stickDevice_ = sysfs_.plugHuaweiStick(kBusPort, kPortNumber);
    }
    core_ = std::make_unique<MonitorCore>(MonitorCore::Platform{port_, inventory_});
    window_ = std::make_unique<Form1>(
        *core_,
        WindowPlatform{sound_, dialog_, QCoreApplication::applicationDirPath(), toneOutput_});
    if (ownThread_) {
        core_->runIn(coreThread_);
    }
    window_->Form_Load();
    if (hilinkOnly_) {
        window_->Combo1->setEditText(hilinkBoxText());
        window_->Combo1_Return();
    }
    return true;
}
