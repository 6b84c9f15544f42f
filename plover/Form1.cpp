#include "plover/Form1.h"

#include "idfile/IdFile.h"
#include "ini/IdFileNames.h"
#include "packaging/icons/ProgramIcon.h"
#include "platform/web/PageLoader.h"
#include "platform/window/WindowHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

template <typename Control>
Control* place(QWidget* parent, const char* name, const QString& caption, int left, int top,
               int width, int height)
{
    auto* control = new Control(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(twipsRect(left, top, width, height));
    return control;
}

QLabel* placeLabel(QWidget* parent, const char* name, const QString& caption, int left, int width)
{
    auto* label = place<QLabel>(parent, name, caption, left, 600, width, 255);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* placeTextBox(QWidget* parent, const char* name, int left, int width)
{
    return place<QLineEdit>(parent, name, QString(), left, 840, width, 495);
}

} // namespace

Form1::Form1(FileDialog& cmdOpenFile, PageLoader& WebBrowser1, UrlOpener& browser,
             MessageSink& messages, lookup::BaseAddresses bases, QWidget* parent)
    : QWidget(parent), cmdOpenFile_(cmdOpenFile), messages_(messages),
      lookup_(std::move(bases), WebBrowser1, browser, messages)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("plover"));
    setWindowIcon(programIcon(QStringLiteral("plover")));
    setFixedSize(pixels(8085), pixels(1965));
    createControls();
    orderTabs();
    connectHandlers(WebBrowser1);
}

void Form1::createControls()
{
    CommandOpen =
        place<QPushButton>(this, "CommandOpen", QStringLiteral("PLOVER"), 120, 120, 855, 375);
    CommandSave =
        place<QPushButton>(this, "CommandSave", QStringLiteral("SAVE ID"), 1200, 120, 855, 375);
    Label1 = placeLabel(this, "Label1", QStringLiteral("Operator :"), 120, 1815);
    Label2 = placeLabel(this, "Label2", QStringLiteral("MCC :"), 2160, 1335);
    Label3 = placeLabel(this, "Label3", QStringLiteral("MNC :"), 3600, 1335);
    Label4 = placeLabel(this, "Label4", QStringLiteral("LAC :"), 5040, 1335);
    Label5 = placeLabel(this, "Label5", QStringLiteral("CELL ID :"), 6480, 1335);
    Txtoperator = placeTextBox(this, "Txtoperator", 120, 1815);
    Txtmcc = placeTextBox(this, "Txtmcc", 2160, 1335);
    Txtmnc = placeTextBox(this, "Txtmnc", 3600, 1335);
    Txtlac = placeTextBox(this, "Txtlac", 5040, 1335);
    Txtcellid = placeTextBox(this, "Txtcellid", 6480, 1455);
    Command1 = place<QPushButton>(this, "Command1", QStringLiteral("MAP"), 120, 1440, 855, 375);
}

void Form1::orderTabs()
{
    // "MAP" first, then the save button, the fields left to right and the open button last.
    const QList<QWidget*> order{Command1, CommandSave, Txtoperator, Txtmcc,
                                Txtmnc,   Txtlac,      Txtcellid,   CommandOpen};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    Command1->setFocus();
}

void Form1::connectHandlers(PageLoader& loader)
{
    connect(CommandOpen, &QPushButton::clicked, this, &Form1::CommandOpen_Click);
    connect(CommandSave, &QPushButton::clicked, this, &Form1::CommandSave_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(&loader, &PageLoader::DocumentComplete, this, &Form1::web1);
    connect(&loader, &PageLoader::loadFailed, this,
            [this](const QString& reason) { lookup_.serviceUnreachable(reason); });
    connect(&loader, &PageLoader::replyTooLarge, this, [this] { lookup_.replyTooLarge(); });
}

void Form1::CommandOpen_Click()
{
    showIdentity(pickAndOpenIdFile(cmdOpenFile_, messages_, lookup::AppTitle));
}

void Form1::openIdFile(const QString& fileName)
{
    showIdentity(::openIdFile(fileName, messages_, lookup::AppTitle));
}

void Form1::showIdentity(const std::optional<CellIdentity>& identity)
{
    if (!identity)
        return;
    Txtoperator->setText(identity->operatorName);
    Txtmcc->setText(identity->mcc);
    Txtmnc->setText(identity->mnc);
    Txtlac->setText(identity->lac);
    Txtcellid->setText(identity->cellid);
}

void Form1::CommandSave_Click()
{
    if (Txtmcc->text().isEmpty() || Txtmnc->text().isEmpty() || Txtlac->text().isEmpty() ||
        Txtcellid->text().isEmpty())
        return;
    pickAndSaveIdFile(cmdOpenFile_,
                      {{IdFile::Operator, Txtoperator->text()},
                       {IdFile::Mcc, Txtmcc->text()},
                       {IdFile::Mnc, Txtmnc->text()},
                       {IdFile::Lac, Txtlac->text()},
                       {IdFile::CellId, Txtcellid->text()}},
                      messages_, lookup::AppTitle);
}

void Form1::Command1_Click()
{
    lookup_.click({Txtmcc->text(), Txtmnc->text(), Txtlac->text(), Txtcellid->text()});
}

void Form1::web1()
{
    lookup_.web1();
}

void Form1::web2()
{
    lookup_.web2();
}
