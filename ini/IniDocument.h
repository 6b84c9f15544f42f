#pragma once

#include <QList>
#include <QString>

// The in-memory form of an INI file: ordered sections, each with ordered entries. Names are
// not unique; every lookup by name takes the first match in list order, so later duplicates
// stay in the document (and are written back) but are reachable only by position.

struct IniEntry {
    QString Name;
    QString Value;

    bool operator==(const IniEntry&) const = default;
};

struct IniSection {
    QString Name;
    QList<IniEntry> Values;

    // The first entry whose name matches, or nullptr.
    const IniEntry* entry(const QString& name) const;
    IniEntry* entry(const QString& name);
    // Removes the first matching entry; false when there is none.
    bool removeEntry(const QString& name);

    bool operator==(const IniSection&) const = default;
};

struct IniDocument {
    QList<IniSection> Sections;

    // The first section whose name matches, or nullptr.
    const IniSection* section(const QString& name) const;
    IniSection* section(const QString& name);
    // The first matching section, appended empty under `name` when there is none.
    IniSection& sectionOrAppend(const QString& name);
    // Removes the first matching section with its entries; false when there is none.
    bool removeSection(const QString& name);

    bool operator==(const IniDocument&) const = default;
};

// Two names match when their upper-case forms under the user's locale are identical. Letters
// beyond ASCII are folded as well; nothing is trimmed, so "a " does not match "a".
bool iniNamesMatch(const QString& a, const QString& b);
