#include "ini/IniDocument.h"

#include <QLocale>
#include <algorithm>

namespace
{

template <typename List> auto firstMatch(List& list, const QString& name)
{
    return std::find_if(list.begin(), list.end(),
                        [&name](const auto& item) { return iniNamesMatch(item.Name, name); });
}

} // namespace

bool iniNamesMatch(const QString& a, const QString& b)
{
    // Locale rules rather than QString::toUpper: names are compared the way the user's
    // language spells them (a Turkish dotless i, for one). Both sides fold the same way.
    const QLocale locale;
    return locale.toUpper(a) == locale.toUpper(b);
}

const IniEntry* IniSection::entry(const QString& name) const
{
    const auto it = firstMatch(Values, name);
    return it == Values.end() ? nullptr : &*it;
}

IniEntry* IniSection::entry(const QString& name)
{
    const auto it = firstMatch(Values, name);
    return it == Values.end() ? nullptr : &*it;
}

bool IniSection::removeEntry(const QString& name)
{
    const auto it = firstMatch(Values, name);
    if (it == Values.end()) {
        return false;
    }
    Values.erase(it);
    return true;
}

const IniSection* IniDocument::section(const QString& name) const
{
    const auto it = firstMatch(Sections, name);
    return it == Sections.end() ? nullptr : &*it;
}

IniSection* IniDocument::section(const QString& name)
{
    const auto it = firstMatch(Sections, name);
    return it == Sections.end() ? nullptr : &*it;
}

IniSection& IniDocument::sectionOrAppend(const QString& name)
{
    if (IniSection* found = section(name)) {
        return *found;
    }
    Sections.append(IniSection{name, {}});
    return Sections.last();
}

bool IniDocument::removeSection(const QString& name)
{
    const auto it = firstMatch(Sections, name);
    if (it == Sections.end()) {
        return false;
    }
    Sections.erase(it);
    return true;
}
