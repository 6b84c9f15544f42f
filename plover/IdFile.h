#pragma once

#include <QString>

// The cell identity as the locator's five fields hold it.
struct CellIdentity {
    QString operatorName;
    QString mcc;
    QString mnc;
    QString lac;
    QString cellid;
};

// Reads the five keys of section "Value" of an ID file; names match whatever their case. A key
// the file lacks, or a file that does not exist, gives empty text. When the file cannot be read
// completely, what was read before the failure is used.
CellIdentity readIdFile(const QString& fileName);

// Writes the five fields into section "Value" of an ID file, in the order operator, mcc, mnc,
// lac, cellid, keeping whatever else the file holds. When the file exists but cannot be read
// completely nothing is written, so a save never replaces a file by the part of it that was
// read. Returns whether the file was written.
bool saveIdFile(const QString& fileName, const CellIdentity& identity);
