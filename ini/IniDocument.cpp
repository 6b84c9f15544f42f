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

// The first item whose name matches, or nullptr.
template <typename List> auto* findNamed(List& list, const QString& name)
{
    const auto it = firstMatch(list, name);
    return it == list.end() ? nullptr : &*it;
}

template <typename List> bool removeFirstMatch(List& list, const QString& name)
{
    const auto it = firstMatch(list, name);
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
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
    return findNamed(Values, name);
}

IniEntry* IniSection::entry(const QString& name)
{
    return findNamed(Values, name);
}

bool IniSection::removeEntry(const QString& name)
{
    return removeFirstMatch(Values, name);
}

const IniSection* IniDocument::section(const QString& name) const
{
    return findNamed(Sections, name);
}

IniSection* IniDocument::section(const QString& name)
{
    return findNamed(Sections, name);
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
    return removeFirstMatch(Sections, name);
}
