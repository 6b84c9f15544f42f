#include "plover/IdFile.h"

#include "ini/IdFileNames.h"
#include "ini/clsINI.h"

namespace
{

// An absent key reads as the miss marker, which a field shows as empty text.
QString shown(const QString& value)
{
    return value == IniMissMarker ? QString() : value;
}

} // namespace

CellIdentity readIdFile(const QString& fileName)
{
    clsINI ini;
    try {
        ini.setFileName(fileName);
    } catch (const IniFileError&) {
        // The document holds what was read before the failure; the fields show that.
    }
    const auto value = [&ini](const QString& key) {
        return shown(ini.Value(IdFile::Section, key));
    };
    return {value(IdFile::Operator), value(IdFile::Mcc), value(IdFile::Mnc), value(IdFile::Lac),
            value(IdFile::CellId)};
}

bool saveIdFile(const QString& fileName, const CellIdentity& identity)
{
    clsINI ini;
    try {
        ini.setFileName(fileName);
    } catch (const IniFileError&) {
        return false;
    }
    ini.setValue(IdFile::Section, IdFile::Operator, identity.operatorName);
    ini.setValue(IdFile::Section, IdFile::Mcc, identity.mcc);
    ini.setValue(IdFile::Section, IdFile::Mnc, identity.mnc);
    ini.setValue(IdFile::Section, IdFile::Lac, identity.lac);
    ini.setValue(IdFile::Section, IdFile::CellId, identity.cellid);
    try {
        return ini.UpdateFile();
    } catch (const IniFileError&) {
        return false;
    }
}
