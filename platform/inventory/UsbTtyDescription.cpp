#include "platform/inventory/UsbTtyDescription.h"

#include <algorithm>
#include <array>
#include <optional>

namespace
{

enum class Role { Modem, PcUi, Application, Modem4G, PcUi4G };

struct ClassTriple {
    const char* subClass;
    const char* protocol;
    Role role;
};

// Newer sticks mark each vendor-specific interface (class ff) with its role in the protocol byte,
// alike under the vendor subclasses 01, 02 and 03: 01 the modem, 02 the PC UI, 03 the diagnostics
// ("application") port. ModemManager's Huawei port rules know 01 and 02 only, but an E398 in
// modem mode uses 03. Subclass 06 marks the application port with 13.
constexpr std::array<ClassTriple, 10> classTriples{{
    {"01", "01", Role::Modem},
    {"02", "01", Role::Modem},
    {"03", "01", Role::Modem},
    {"01", "02", Role::PcUi},
    {"02", "02", Role::PcUi},
    {"03", "02", Role::PcUi},
    {"01", "03", Role::Application},
    {"02", "03", Role::Application},
    {"03", "03", Role::Application},
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

// Huawei's 4G sticks and modules in modem mode (E3372, E3276, ME909u...) mark each function in
// the protocol byte with the stick's own port code (the one AT^SETPORT lists): 10 "4G MODEM",
// 12 "4G PCUI", 13 "4G DIAG", 14 "4G GPS", 16 the network interface. The same functions come 30
// and 60 (hex) higher in the descriptor sets the stick offers other hosts (42 is a PC UI too).
constexpr std::array<const char*, 4> functionCodedSubClasses{{"01", "02", "03", "06"}};
constexpr int functionCodeModem = 0x10;
constexpr int functionCodePcUi = 0x12;
constexpr int functionCodeSetStep = 0x30;
constexpr int functionCodeSets = 3;

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
    case Role::Modem4G:
        return huaweiModem4GDescription;
    case Role::PcUi4G:
        return huaweiPcUi4GDescription;
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

std::optional<Role> roleByFunctionCode(const UsbInterfaceFacts& interface)
{
    const bool subClassKnown = std::any_of(
        functionCodedSubClasses.begin(), functionCodedSubClasses.end(),
        [&](const char* subClass) { return sameHex(interface.interfaceSubClass, subClass); });
    bool isHex = false;
    const int protocol = interface.interfaceProtocol.trimmed().toInt(&isHex, 16);
    if (!sameHex(interface.interfaceClass, "ff") || !subClassKnown || !isHex) {
        return std::nullopt;
    }
    for (int set = 0; set < functionCodeSets; ++set) {
        const int function = protocol - set * functionCodeSetStep;
        if (function == functionCodeModem) {
            return Role::Modem4G;
        }
        if (function == functionCodePcUi) {
            return Role::PcUi4G;
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
    if (auto role = roleByFunctionCode(interface)) {
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

bool isHuawei(const UsbDeviceFacts& device)
{
    return sameHex(device.vendorId, "12d1");
}

QString describeUsbTty(const QString& name, const UsbInterfaceFacts& interface,
                       const UsbDeviceFacts& device, const QList<int>& ttyInterfaceNumbers)
{
    if (isHuawei(device)) {
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
