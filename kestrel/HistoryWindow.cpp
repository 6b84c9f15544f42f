#include "kestrel/HistoryWindow.h"

#include "kestrel/aiming/HistoryView.h"
#include "kestrel/aiming/SignalHistory.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HistoryWindow::HistoryWindow(SignalHistory& history, QWidget* parent)
    : QWidget(parent, Qt::Window), history_(history)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Signal history"));
    View = new HistoryView(history, this);
    LblBest = new QLabel(this);
    LblBest->setObjectName(QStringLiteral("LblBest"));
    CommandReset = new QPushButton(QStringLiteral("Reset best"), this);
    CommandReset->setObjectName(QStringLiteral("CommandReset"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LblBest, 1);
    bottom->addWidget(CommandReset);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(View, 1);
    layout->addLayout(bottom);

    connect(CommandReset, &QPushButton::clicked, this, [this] {
        history_.resetBest();
        refresh();
    });
    refresh();
}

void HistoryWindow::refresh()
{
    const QString best = bestCaption(history_);
    LblBest->setText(best.isEmpty() ? QStringLiteral("No level yet") : best);
    View->update();
}
