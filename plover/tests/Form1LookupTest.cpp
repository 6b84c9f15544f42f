#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakePageLoader.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "platform/web/tests/WaitUntil.h"
#include "plover/Form1.h"
#include "plover/tests/WidgetApp.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

const QString mapBase = QStringLiteral("https://map.test");
const QByteArray xmlReply =
    R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)";
const QString xmlMap =
    mapBase + QStringLiteral("/?l=map/&pt=37.61730,55.75580&ll=37.61730,55.75580&z=10");

void fill(Form1& form, const char* operatorName, const char* mcc, const char* mnc, const char* lac,
          const char* cellid)
{
    form.Txtoperator->setText(QString::fromUtf8(operatorName));
    form.Txtmcc->setText(QString::fromUtf8(mcc));
    form.Txtmnc->setText(QString::fromUtf8(mnc));
    form.Txtlac->setText(QString::fromUtf8(lac));
    form.Txtcellid->setText(QString::fromUtf8(cellid));
}

// The window with the real page loader against a service on 127.0.0.1.
class Form1Lookup : public testing::Test
{
protected:
    QString opened(int i) const { return opener.opened.value(i).toString(QUrl::FullyEncoded); }

    QApplication& app = widgetApp();
    LocalHttpServer service;
    FakeFileDialog dialog;
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages, {service.base(), mapBase}};
};

TEST_F(Form1Lookup, MapOpensForTheServicesCoordinates)
{
    service.route("/cellid_location/", {200, "text/xml", xmlReply, {}, false});
    fill(form, "", "250", "1", "78", "314");

    form.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return !opener.opened.isEmpty() || !messages.shown.isEmpty(); }));

    EXPECT_EQ(service.targets,
              QStringList{QStringLiteral(
                  "/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78")});
    EXPECT_EQ(opened(0), xmlMap);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Form1Lookup, HtmlReplyIsReadAsItsText)
{
    service.route("/cellid_location/",
                  {200,
                   "text/html",
                   "<html><body><p>Cell found, <b>coordinates</b>: &quot;12.5&quot;, "
                   "<i>\"34.25\"</i></p></body></html>",
                   {},
                   false});
    fill(form, "MTS", "250", "1", "78", "314");

    form.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return !opener.opened.isEmpty() || !messages.shown.isEmpty(); }));
    EXPECT_EQ(opened(0), mapBase + "/?l=map/&pt=34.25,12.5&ll=34.25,12.5&z=10");
}

TEST_F(Form1Lookup, ErrorReplySaysTheIdDoesNotExist)
{
    service.route("/cellid_location/", {404, "text/plain", "error: cell not found", {}, false});
    fill(form, "MTS", "250", "1", "78", "99999");

    form.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("ID does not exist"));
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(Form1Lookup, ASecondClickOvertakesASlowReply)
{
    const QByteArray slowTarget = "/cellid_location/?&cellid=1&operatorid=1&countrycode=250&lac=78";
    service.route(slowTarget, {200, "text/plain", R"(coordinates "1.0" "2.0")", {}, true});
    service.route("/cellid_location/", {200, "text/xml", xmlReply, {}, false});
    fill(form, "MTS", "250", "1", "78", "1");

    form.Command1->click();
    ASSERT_TRUE(
        waitUntil([&] { return service.targets.contains(QString::fromLatin1(slowTarget)); }));
    form.Txtcellid->setText(QStringLiteral("314"));
    form.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return !opener.opened.isEmpty(); }));

    ASSERT_TRUE(
        waitUntil([&] { return service.closedByPeer.contains(QString::fromLatin1(slowTarget)); }));
    service.release(slowTarget);
    QCoreApplication::processEvents();
    EXPECT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opened(0), xmlMap);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Form1Lookup, UnreachableServiceIsReported)
{
    NetworkPageLoader nowhereLoader;
    const QString nowhere = QStringLiteral("http://127.0.0.1:%1").arg(unusedLocalPort());
    Form1 lonely{dialog, nowhereLoader, opener, messages, {nowhere, mapBase}};
    fill(lonely, "MTS", "250", "1", "78", "314");

    lonely.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("plover"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("could not be reached")));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("refused"), Qt::CaseInsensitive))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(opener.opened.isEmpty());
}

// Which fields the click reads, with a recording loader in place of the network.
class Form1Click : public testing::Test
{
protected:
    QApplication& app = widgetApp();
    FakeFileDialog dialog;
    FakePageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages, {QStringLiteral("http://svc.test"), mapBase}};
};

TEST_F(Form1Click, OperatorIsNotConsulted)
{
    fill(form, "", "250", "1", "78", "314");
    form.Command1->click();
    fill(form, "A&B #1", "250", "1", "78", "314");
    form.Command1->click();
    const QString expected = QStringLiteral(
        "http://svc.test/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78");
    EXPECT_EQ(loader.navigated, (QStringList{expected, expected}));
}

TEST_F(Form1Click, AnEmptyFieldBlocksSilently)
{
    for (int empty = 0; empty < 4; ++empty) {
        SCOPED_TRACE(empty);
        QLineEdit* boxes[] = {form.Txtmcc, form.Txtmnc, form.Txtlac, form.Txtcellid};
        fill(form, "MTS", "250", "1", "78", "314");
        boxes[empty]->clear();
        form.Command1->click();
    }
    EXPECT_TRUE(loader.navigated.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Form1Click, EveryCompletedPageRunsWeb1)
{
    fill(form, "", "250", "1", "78", "314");
    form.Command1->click();
    loader.complete(QStringLiteral(R"(coordinates "55.7" "37.6")"));
    loader.complete(QStringLiteral("error"));
    ASSERT_EQ(opener.opened.size(), 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("ID does not exist"));
    EXPECT_EQ(form.lookupValues().pageText, QStringLiteral("error"));
}

} // namespace
