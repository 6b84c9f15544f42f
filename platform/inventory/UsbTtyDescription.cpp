#include "platform/inventory/UsbTtyDescription.h"

#include <array>
#include <optional>

namespace
{

const QString huaweiVendor = QStringLiteral("12d1");

enum class Role { Modem, PcUi, Application };

struct ClassTriple {
    const char* subClass;
    const char* protocol;
    Role role;
};

// Newer sticks mark each vendor-specific interface (class ff) with its role in the subclass and
// protocol bytes. These pairs are the ones that Linux modem-management port rules (ModemManager's
// Huawei rules) and the stick's own Windows driver list.
constexpr std::array<ClassTriple, 9> classTriples{{
    {"01", "01", Role::Modem},
    {"02", "01", Role::Modem},
    {"01", "10", Role::Modem},
    {"01", "02", Role::PcUi},
    {"02", "02", Role::PcUi},
    {"01", "12", Role::PcUi},
    {"01", "03", Role::Application},
    {"02", "03", Role::Application},
    {"06", "13", Role::Application},
}};

// Older sticks report ff/ff/ff on every interface; their roles follow from the product and the
// interface number, as the per-product interface tables of the Linux option driver and the
// stick's driver files have it.
struct AllVendorSpecificLayout {
    const char* productId;
    int modem;
    int pcUi;
    int application; // -1: none known
};

constexpr std::array<AllVendorSpecificLayout, 9> allVendorSpecificLayouts{{
    {"1001", 0x00, 0x02, 0x01},
    {"1003", 0x00, 0x01, -1},
    {"1406", 0x00, 0x01, -1},
    {"140c", 0x00, 0x03, -1},
    {"1436", 0x00, 0x04, -1},
    {"1464", 0x00, 0x04, -1},
    {"1465", 0x00, 0x04, -1},
    {"14ac", 0x00, 0x04, -1},
    {"1c05", 0x00, 0x02, -1},
}};

// For an all-ff product not in the table: interface 00 is the modem and the highest-numbered
// tty interface from 01 to 04 the PC UI, the layout those products share.
constexpr int firstPcUiCandidate = 0x01;
constexpr int lastPcUiCandidate = 0x04;

QString descriptionOf(Role role)
{
    switch (role) {
    case Role::Modem:
        return huaweiModemDescription;
    case Role::PcUi:
        return huaweiPcUiDescription;
    case Role::Application:
        return huaweiApplicationDescription;
    }
    return {};
}

bool sameHex(const QString& value, const char* expected)
{
    return value.trimmed().compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

std::optional<Role> roleByClassTriple(const UsbInterfaceFacts& interface)
{
    if (!sameHex(interface.interfaceClass, "ff")) {
        return std::nullopt;
    }
    for (const auto& triple : classTriples) {
        if (sameHex(interface.interfaceSubClass, triple.subClass) &&
            sameHex(interface.interfaceProtocol, triple.protocol)) {
            return triple.role;
        }
    }
    return std::nullopt;
}

// Newer firmware also names its interfaces, e.g. "Huawei Mobile Connect - Application".
std::optional<Role> roleByInterfaceString(const QString& text)
{
    const auto has = [&text](const char* word) {
        return text.contains(QLatin1String(word), Qt::CaseInsensitive);
    };
    if (has("PC UI") || has("PCUI")) {
        return Role::PcUi;
    }
    if (has("Application")) {
        return Role::Application;
    }
    if (has("Modem")) {
        return Role::Modem;
    }
    return std::nullopt;
}

bool allVendorSpecific(const UsbInterfaceFacts& interface)
{
    return sameHex(interface.interfaceClass, "ff") && sameHex(interface.interfaceSubClass, "ff") &&
           sameHex(interface.interfaceProtocol, "ff");
}

std::optional<Role> roleByLayout(const UsbInterfaceFacts& interface, const UsbDeviceFacts& device,
                                 const QList<int>& ttyInterfaceNumbers)
{
    for (const auto& layout : allVendorSpecificLayouts) {
        if (!sameHex(device.productId, layout.productId)) {
            continue;
        }
        if (interface.number == layout.modem) {
            return Role::Modem;
        }
        if (interface.number == layout.pcUi) {
            return Role::PcUi;
        }
        if (interface.number == layout.application) {
            return Role::Application;
        }
        return std::nullopt;
    }
    if (interface.number == 0x00) {
        return Role::Modem;
    }
    int highest = -1;
    for (const int number : ttyInterfaceNumbers) {
        if (number >= firstPcUiCandidate && number <= lastPcUiCandidate && number > highest) {
            highest = number;
        }
    }
    if (highest >= 0 && interface.number == highest) {
        return Role::PcUi;
    }
    return std::nullopt;
}

std::optional<Role> huaweiRole(const UsbInterfaceFacts& interface, const UsbDeviceFacts& device,
                               const QList<int>& ttyInterfaceNumbers)
{
    if (auto role = roleByClassTriple(interface)) {
        return role;
    }
    if (auto role = roleByInterfaceString(interface.interfaceString)) {
        return role;
    }
    if (allVendorSpecific(interface)) {
        return roleByLayout(interface, device, ttyInterfaceNumbers);
    }
    return std::nullopt;
}

} // namespace

QString describeUsbTty(const QString& name, const UsbInterfaceFacts& interface,
                       const UsbDeviceFacts& device, const QList<int>& ttyInterfaceNumbers)
{
    if (device.vendorId.trimmed().compare(huaweiVendor, Qt::CaseInsensitive) == 0) {
        if (const auto role = huaweiRole(interface, device, ttyInterfaceNumbers)) {
            return descriptionOf(*role);
        }
    }
    if (!interface.interfaceString.trimmed().isEmpty()) {
        return interface.interfaceString.trimmed();
    }
    if (!device.product.trimmed().isEmpty()) {
        return device.product.trimmed();
    }
    return name;
}
