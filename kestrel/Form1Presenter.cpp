// The presenter: a reading of the monitor core as the main window's captions and colours.
#include "kestrel/Form1Presenter.h"

#include "kestrel/Form1.h"
#include "kestrel/GenerationColours.h"
#include "kestrel/LevelDbm.h"
#include "platform/levelbar/ProgressBar.h"
#include "platform/window/WindowHelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace
{

// " (3G)" after the operator's name; nothing while the generation is unknown.
QString generationSuffix(at::Generation generation)
{
    const QString name = at::generationName(generation);
    return name.isEmpty() ? QString() : QStringLiteral(" (") + name + QLatin1Char(')');
}

QString levelCaption(const MonitorReading& reading)
{
    if (!reading.levelDbm) {
        return {};
    }
    return reading.levelInPercent ? percentCaption(reading.barPercentage())
                                  : dbmCaption(*reading.levelDbm);
}

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

QString qualityCaption(const at::RadioQuality& quality)
{
    QStringList ratios;
    if (quality.sinrDb) {
        ratios << QStringLiteral("SINR ") + oneDecimal(*quality.sinrDb) + QStringLiteral(" dB");
    }
    if (quality.rsrqDb) {
        ratios << QStringLiteral("RSRQ ") + oneDecimal(*quality.rsrqDb) + QStringLiteral(" dB");
    }
    QStringList lines;
    if (quality.rsrpDbm) {
        lines << QStringLiteral("RSRP ") + QString::number(*quality.rsrpDbm) +
                     QStringLiteral(" dBm");
    }
    if (!ratios.isEmpty()) {
        lines << ratios.join(QStringLiteral("  "));
    }
    return lines.join(u'\n');
}

QString lteCellLine(const MonitorReading& reading)
{
    QStringList parts;
    if (const auto cell = reading.lteCellParts()) {
        parts << QStringLiteral("eNodeB %1  sector %2").arg(cell->eNodeB).arg(cell->sector);
    }
    if (reading.band) {
        parts << QStringLiteral("band %1").arg(*reading.band) +
                     (reading.earfcn ? QStringLiteral(" (EARFCN %1)").arg(*reading.earfcn)
                                     : QString());
    }
    const at::RadioQuality& q = reading.quality;
    if (q.nrRsrpDbm || q.nrSinrDb || q.nrRsrqDb) {
        QStringList nr;
        if (q.nrRsrpDbm) {
            nr << QStringLiteral("RSRP ") + QString::number(*q.nrRsrpDbm) + QStringLiteral(" dBm");
        }
        if (q.nrSinrDb) {
            nr << QStringLiteral("SINR ") + oneDecimal(*q.nrSinrDb);
        }
        if (q.nrRsrqDb) {
            nr << QStringLiteral("RSRQ ") + oneDecimal(*q.nrRsrqDb);
        }
        parts << QStringLiteral("NR ") + nr.join(QStringLiteral("  "));
    }
    return parts.join(QStringLiteral("   "));
}

QString operatorLine(const MonitorReading& reading)
{
    return reading.operatorNamed
               ? reading.operatorName + generationSuffix(reading.operatorGeneration)
               : QString();
}

QString dbmCaption(int levelDbm)
{
    return QStringLiteral("  ") + QString::number(levelDbm) + QStringLiteral("db");
}

QString percentCaption(double barPercentage)
{
    return QStringLiteral("  ") + QString::number(at::roundHalfToEven(barPercentage)) +
           QStringLiteral("%");
}

Form1Captions presentReading(const MonitorReading& reading, const QColor& beforeAnyGeneration)
{
    const auto shown = [](bool stale, const QColor& live) { return stale ? captionGrey : live; };
    Form1Captions c;
    c.cops = operatorLine(reading);
    c.mcc = reading.mcc;
    c.mnc = reading.mnc;
    c.csq = levelCaption(reading);
    c.lac = reading.lac;
    c.cellId = reading.cellId;
    c.text1 = reading.rawReply;
    const bool lte = reading.onLteOrNr();
    c.lacCaption = lte ? QStringLiteral("TAC :  ") : QStringLiteral("LAC :  ");
    c.quality = lte ? qualityCaption(reading.quality) : QString();
    c.cellLine = lte ? lteCellLine(reading) : QString();
    c.qualityColour = shown(reading.qualityStale, lightBlue);
    c.copsColour =
        shown(reading.operatorStale, generationColour(reading.generation, beforeAnyGeneration));
    c.mccColour = c.mncColour = shown(reading.operatorStale, lightBlue);
    c.csqColour = shown(reading.levelStale, lightBlue);
    c.lacColour = c.cellIdColour = shown(reading.locationStale, lightBlue);
    c.barColour = shown(reading.levelStale, generationColour(reading.generation, lightBlue));
    c.barValue = reading.barValue;
    return c;
}

QColor Form1::staleColour()
{
    return captionGrey;
}

QColor Form1::levelColour() const
{
    // The level is read only in cycles that read the operator, so while it is current the
    // operator line shows its live colour.
    return reading_.levelStale ? staleColour() : textColour(LblCOPS);
}

void Form1::showLteParts(const Form1Captions& c)
{
    if (Label1->text() != c.lacCaption) {
        Label1->setText(c.lacCaption);
    }
    LblQuality->setText(c.quality);
    setTextColour(LblQuality, c.qualityColour);
    LblQuality->setVisible(!c.quality.isEmpty());
    LblLteCell->setText(c.cellLine);
    const bool grown = !c.cellLine.isEmpty();
    LblLteCell->setVisible(grown);
    setFixedHeight(kDesignHeight + (grown ? kLteLineHeight : 0));
}

void Form1::showReading(const MonitorReading& reading)
{
    reading_ = reading;
    LevelDbm() = reading.levelDbm;
    const Form1Captions c =
        presentReading(reading, QApplication::palette().color(QPalette::ButtonText));
    const std::pair<QLabel*, const QString&> texts[] = {
        {LblCOPS, c.cops}, {LblMCC, c.mcc}, {LblMNC, c.mnc},
        {LblCSQ, c.csq},   {LblLAC, c.lac}, {LblCellID, c.cellId},
    };
    for (const auto& [label, text] : texts) {
        if (label->text() != text) {
            label->setText(text);
        }
    }
    Text1->setText(c.text1);
    showLteParts(c);
    const std::pair<QLabel*, const QColor&> colours[] = {
        {LblCOPS, c.copsColour}, {LblMCC, c.mccColour}, {LblMNC, c.mncColour},
        {LblCSQ, c.csqColour},   {LblLAC, c.lacColour}, {LblCellID, c.cellIdColour},
    };
    for (const auto& [label, colour] : colours) {
        setTextColour(label, colour);
    }
    ProgressBar1->setValue(c.barValue);
    if (ProgressBar1->BarColorStart() != c.barColour ||
        ProgressBar1->BarColorEnd() != c.barColour) {
        ProgressBar1->setBarColorStart(c.barColour);
        ProgressBar1->setBarColorEnd(c.barColour);
    }
}
