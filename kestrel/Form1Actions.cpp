// The main window's actions beyond polling: the full-screen view, the spoken level and the ID
// file.
#include "idfile/IdFile.h"
#include "ini/IdFileNames.h"
#include "kestrel/Form1.h"
#include "kestrel/Form2.h"
#include "kestrel/LevelDbm.h"
#include "kestrel/voice/VoicePlay.h"
#include "platform/levelbar/ProgressBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

Form1::~Form1()
{
    // The view has no owner but reads this window on every tick: it must not outlive it.
    delete form2_;
}

void Form1::connectActions()
{
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(CommandSave, &QPushButton::clicked, this, [this] { CommandSave_Click(); });
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
}

void Form1::Command1_Click()
{
    if (!form2_) {
        form2_ = new Form2(*this);
        form2_->Form_Load();
    }
    // Brought forward also from the task bar.
    form2_->setWindowState(form2_->windowState() & ~Qt::WindowMinimized);
    form2_->show();
    form2_->raise();
    form2_->activateWindow();
}

Form2* Form1::fullScreenView() const
{
    return form2_;
}

void Form1::Timer3_Timer()
{
    // A level that is no longer current is not spoken.
    if (freshness_.levelStale()) {
        return;
    }
    voiceplay(MMControl1,
              VoiceInputs{Check2->isChecked(), Check1->isChecked(), ProgressBar1->Percentage(),
                          at::levelDbmText(LevelDbm()), executableFolder_});
    if (Check2->isChecked()) {
        aimingTone_->duck();
    }
}

void Form1::CommandSave_Click()
{
    if (operatorText().isEmpty()) {
        return;
    }
    pickAndSaveIdFile(cmdOpenFile,
                      {{IdFile::CellId, LblCellID->text()},
                       {IdFile::Lac, LblLAC->text()},
                       {IdFile::Mnc, LblMNC->text()},
                       {IdFile::Mcc, LblMCC->text()},
                       {IdFile::Operator, LblCOPS->text()}},
                      messages_, QStringLiteral("kestrel"));
}
