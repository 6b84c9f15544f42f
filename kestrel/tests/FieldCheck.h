#pragma once

#include "kestrel/Form1.h"

#include <QLabel>
#include <QRegularExpression>

// Names the first label whose text no reply step could have made, or returns an empty string:
// an operator line with a technology suffix (every reply of a stick that names its technology
// gives one), codes of at most three characters, a level of the index formula, decimal location
// numbers.
inline QString impossibleField(const Form1& form)
{
    static const QRegularExpression suffix(QStringLiteral(" \\([2-5]G\\)$"));
    static const QRegularExpression dbm(QStringLiteral("^  (-\\d+)db$"));
    static const QRegularExpression percent(QStringLiteral("^  (\\d+)%$"));
    const auto signal = [&](const QString& text) {
        if (const auto m = dbm.match(text); m.hasMatch()) {
            const int level = m.captured(1).toInt();
            return level >= -113 && level <= -1 && (level + 113) % 2 == 0;
        }
        const auto m = percent.match(text);
        return text.isEmpty() || (m.hasMatch() && m.captured(1).toInt() <= 100);
    };
    const auto location = [](const QString& text) {
        bool ok = false;
        const qulonglong value = text.toULongLong(&ok);
        return text.isEmpty() || (ok && value <= 0xFFFFFFFFu && text == QString::number(value));
    };
    const QString cops = form.LblCOPS->text();
    const std::pair<const QLabel*, bool> checks[] = {
        {form.LblCOPS, cops.isEmpty() || suffix.match(cops).hasMatch()},
        {form.LblMCC, form.LblMCC->text().size() <= 3},
        {form.LblMNC, form.LblMNC->text().size() <= 3},
        {form.LblCSQ, signal(form.LblCSQ->text())},
        {form.LblLAC, location(form.LblLAC->text())},
        {form.LblCellID, location(form.LblCellID->text())},
    };
    for (const auto& [label, fine] : checks)
        if (!fine)
            return label->objectName() + QStringLiteral(" shows ") + label->text();
    return {};
}
