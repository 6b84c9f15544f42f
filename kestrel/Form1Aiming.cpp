// Form1's aids for aiming an antenna, behind its context menu: the tone whose pitch follows the
// level, the signal history, and the record of readings.
#include "kestrel/Form1.h"
#include "kestrel/Form2.h"
#include "kestrel/HistoryWindow.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/at/Conversions.h"
#include "platform/levelbar/ProgressBar.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>

namespace
{

// "Kestrel Mobile (3G)" -> {"Kestrel Mobile", "3G"}
std::pair<QString, QString> operatorAndTechnology(const QString& operatorLine)
{
    static const QRegularExpression suffix(QStringLiteral("^(.*) \\((\\dG)\\)$"));
    const auto match = suffix.match(operatorLine);
    if (!match.hasMatch()) {
        return {operatorLine, QString()};
    }
    return {match.captured(1), match.captured(2)};
}

} // namespace

void Form1::createAimingMenu()
{
    MenuAiming = new QMenu(this);
    MenuAiming->setObjectName(QStringLiteral("MenuAiming"));
    MnuTone = MenuAiming->addAction(QStringLiteral("Aiming tone"));
    MnuTone->setCheckable(true);
    MnuHistory = MenuAiming->addAction(QStringLiteral("Signal history"));
    MnuRecord = MenuAiming->addAction(QStringLiteral("Record readings…"));
    MnuRecord->setCheckable(true);

    aimingTone_ = new AimingTone(toneOutput_, this);
    connect(MnuTone, &QAction::toggled, this, [this](bool on) {
        aimingTone_->setOn(on);
        showAimingLevel();
    });
    connect(MnuHistory, &QAction::triggered, this, [this] { MnuHistory_Click(); });
    connect(MnuRecord, &QAction::toggled, this, [this](bool on) { MnuRecord_Click(on); });
}

void Form1::contextMenuEvent(QContextMenuEvent* event)
{
    MenuAiming->exec(event->globalPos());
}

void Form1::MnuHistory_Click()
{
    if (!historyWindow_) {
        historyWindow_ = new HistoryWindow(history_, this);
        // The best level counts from the window's opening.
        history_.resetBest();
        historyWindow_->refresh();
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
}

HistoryWindow* Form1::historyWindow() const
{
    return historyWindow_;
}

void Form1::MnuRecord_Click(bool on)
{
    if (!on) {
        recorder_.stop();
        return;
    }
    cmdOpenFile.setDefaultExt(QStringLiteral("csv"));
    cmdOpenFile.setFilter(QStringLiteral("Readings (*.csv)|*.csv"));
    cmdOpenFile.setFileName(
        QStringLiteral("kestrel-%1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm"))));
    cmdOpenFile.ShowSave();
    const QString path = cmdOpenFile.FileName();
    QString why;
    if (path.isEmpty() || !recorder_.start(path, &why)) {
        if (!path.isEmpty()) {
            tell(QStringLiteral("Cannot record readings to %1: %2").arg(path, why));
        }
        const QSignalBlocker quiet(MnuRecord);
        MnuRecord->setChecked(false);
    }
}

void Form1::tell(const QString& text)
{
    messages_.show(QStringLiteral("kestrel"), text);
}

void Form1::showAimingLevel()
{
    const bool current = !freshness_.levelStale() && LevelDbm().has_value();
    aimingTone_->showLevel(current ? LevelDbm() : std::nullopt);
}

RecordedReading Form1::currentReading() const
{
    const auto [name, technology] = operatorAndTechnology(LblCOPS->text());
    const bool levelCurrent = !freshness_.levelStale() && LevelDbm().has_value();
    RecordedReading reading;
    reading.time = QDateTime::currentDateTime();
    reading.operatorName = name;
    reading.technology = technology;
    reading.mcc = LblMCC->text();
    reading.mnc = LblMNC->text();
    reading.lac = LblLAC->text();
    reading.cellId = LblCellID->text();
    if (levelCurrent) {
        reading.levelDbm = LevelDbm();
        reading.percent = at::roundHalfToEven(ProgressBar1->Percentage());
    }
    return reading;
}

void Form1::aimingCycleEnded()
{
    showAimingLevel();
    const RecordedReading reading = currentReading();
    history_.add({reading.time.toMSecsSinceEpoch(), reading.levelDbm, operatorColour_});
    if (historyWindow_) {
        historyWindow_->refresh();
    }
    if (form2_) {
        form2_->refreshHistory();
    }
    if (const auto failure = recorder_.record(reading)) {
        const QSignalBlocker quiet(MnuRecord);
        MnuRecord->setChecked(false);
        tell(QStringLiteral("Recording readings stopped: cannot write to %1: %2")
                 .arg(recorder_.path(), *failure));
    }
}
