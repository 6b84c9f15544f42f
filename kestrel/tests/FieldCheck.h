#pragma once

#include "kestrel/Form1.h"

#include <QLabel>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

// Names the first label whose text no reply step could have made, or returns an empty string:
// an operator with a technology suffix, codes of at most three characters, a level of the index
// formula, decimal location numbers. With `replies`, the operator and the codes must be cut out
// of one of them; without, the operator line must carry a technology suffix, as every reply of a
// stick that names its technology gives.
inline QString impossibleField(const Form1& form, const QStringList& replies = {})
{
    static const QRegularExpression suffix(QStringLiteral(" \\([2-5]G\\)$"));
    static const QRegularExpression dbm(QStringLiteral("^  (-\\d+)db$"));
    static const QRegularExpression percent(QStringLiteral("^  (\\d+)%$"));
    const auto cut = [&replies](const QString& text) {
        return text.isEmpty() || replies.isEmpty() ||
               std::any_of(replies.begin(), replies.end(),
                           [&text](const QString& reply) { return reply.contains(text); });
    };
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
    const bool fine[] = {
        replies.isEmpty() ? cops.isEmpty() || suffix.match(cops).hasMatch()
                          : cut(QString(cops).remove(suffix)),
        form.LblMCC->text().size() <= 3 && cut(form.LblMCC->text()),
        form.LblMNC->text().size() <= 3 && cut(form.LblMNC->text()),
        signal(form.LblCSQ->text()),
        location(form.LblLAC->text()),
        location(form.LblCellID->text()),
    };
    const QLabel* labels[] = {form.LblCOPS, form.LblMCC, form.LblMNC,
                              form.LblCSQ,  form.LblLAC, form.LblCellID};
    for (int i = 0; i < 6; ++i) {
        if (!fine[i]) {
            return labels[i]->objectName() + QStringLiteral(" shows ") + labels[i]->text();
        }
    }
    return {};
}
