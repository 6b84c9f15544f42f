#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/DesktopUrlOpener.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "plover/Form1.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "tests/support/WaitUntil.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

const QString mapBase = QStringLiteral("https://map.test");
const QByteArray xmlReply =
    R"(<location><coordinates latitude="55.75580" longitude="37.61730"/></location>)";
const QString xmlMap = mapBase + "/?l=map/&pt=37.61730,55.75580&ll=37.61730,55.75580&z=10";

// The four fields a lookup reads; the operator stays empty, as it is no part of the request.
void fill(Form1& form, const QString& cellid = "314")
{
    form.Txtmcc->setText(QStringLiteral("250"));
    form.Txtmnc->setText(QStringLiteral("1"));
    form.Txtlac->setText(QStringLiteral("78"));
    form.Txtcellid->setText(cellid);
}

// The window with the real page loader, asking a service on 127.0.0.1.
class Form1Lookup : public testing::Test
{
protected:
    bool answered() const { return !opener.opened.isEmpty() || !messages.shown.isEmpty(); }
    QString opened() const { return opener.opened.value(0).toString(QUrl::FullyEncoded); }

    WidgetApp app; // before the server, whose sockets need the event loop
    LocalHttpServer service;
    FakeFileDialog dialog;
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    Form1 form{dialog, loader, opener, messages, {service.base(), mapBase}};
};

LocalHttpServer::Reply xml(const QByteArray& body, int status = 200,
                           const QList<QPair<QByteArray, QByteArray>>& headers = {})
{
    return {status, "text/xml", body, headers, false};
}

// What failed, and what the user is told: one message box, whose text and detail, joined by
// " / ", hold the row's words. Maps go to a stand-in for xdg-open that notes each address and
// finds no browser. How each kind of reply is read is CellLookup's test.
TEST_F(Form1Lookup, EachFailureIsToldWithWhatWentWrong)
{
    TempFolder folder;
    ASSERT_TRUE(folder.write("xdg-open", "#!/bin/sh\necho \"$1\" >> \"$0.got\"\nexit 3\n"));
    QFile::setPermissions(folder.path("xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
    NetworkPageLoader pages;
    DesktopUrlOpener browser(folder.path("xdg-open"));
    Form1 window{dialog, pages, browser, messages, {service.base(), mapBase}};
    // The same server under another name: whatever was sent there would show in its targets.
    const QString elsewhere = QString(service.base()).replace("127.0.0.1", "localhost");
    const struct {
        const char* failed;
        LocalHttpServer::Reply reply;
        QString told;
    } rows[] = {
        {"a hexadecimal LAC", xml("<error code=\"notANumber\">lac: not decimal</error>", 400),
         "ID does not exist / lac: not decimal"},
        {"a longitude of a million blanks",
         xml("coordinates \"55.7\" \"" + QByteArray(1000000, ' ') + '"'),
         "ID does not exist / the longitude the service gave is 1000000 characters long"},
        {"words", xml(R"(coordinates "abc" "xyz")"), "\u201cxyz\u201d, is not a decimal number"},
        {"off the globe", xml(R"(coordinates "999" "-500")"), "-500, is not between -180 and 180"},
        {"cut short", xml(xmlReply, 200, {{"Content-Length", "999999"}}),
         "No complete answer came from the cell location service at " + service.base()},
        {"a redirect to another host", xml("", 302, {{"Location", elsewhere.toLatin1() + "/x"}}),
         "The server sent the request on to " + elsewhere + ", which is not followed"},
        {"past the cap", xml(QByteArray(PageLoader::MaxReplyBytes + 1, 'x')),
         "The service's reply is too large / "},
        {"xdg-open exits 3", xml(xmlReply),
         "(xdg-open ended with status 3: it found no web browser). Open it by hand:\n\n" + xmlMap},
    };
    fill(window);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.failed);
        messages.shown.clear();
        service.route("/cellid_location/", row.reply);
        window.Command1->click();
        ASSERT_TRUE(waitUntil([&] { return answered(); }));
        EXPECT_EQ(messages.shown.size(), 1);
        const FakeMessageSink::Shown told = messages.shown.value(0);
        EXPECT_TRUE((told.text + " / " + told.detail).contains(row.told))
            << told.text.toStdString() << " / " << told.detail.toStdString();
    }
    EXPECT_FALSE(service.targets.contains("/x"));
    EXPECT_EQ(folder.read("xdg-open.got"), xmlMap.toLatin1() + "\n") << "only the last map";
}

TEST_F(Form1Lookup, ASecondClickOvertakesASlowReply)
{
    const QByteArray slow = "/cellid_location/?&cellid=1&operatorid=1&countrycode=250&lac=78";
    service.route(slow, {200, "text/plain", R"(coordinates "1.0" "2.0")", {}, true});
    service.route("/cellid_location/", {200, "text/xml", xmlReply, {}, false});
    fill(form, "1");

    form.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return service.targets.contains(QString::fromLatin1(slow)); }));
    form.Txtcellid->setText(QStringLiteral("314"));
    form.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return answered(); }));

    // The slow request was dropped: its connection closed, one map opened.
    EXPECT_TRUE(
        waitUntil([&] { return service.closedByPeer.contains(QString::fromLatin1(slow)); }));
    EXPECT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opened(), xmlMap);
}

TEST_F(Form1Lookup, UnreachableServiceIsReported)
{
    NetworkPageLoader nowhereLoader;
    const QString nowhere = QStringLiteral("http://127.0.0.1:%1").arg(unusedLocalPort());
    Form1 lonely{dialog, nowhereLoader, opener, messages, {nowhere, mapBase}};
    fill(lonely);

    lonely.Command1->click();
    ASSERT_TRUE(waitUntil([&] { return answered(); }));
    EXPECT_EQ(messages.shown.value(0).title, QStringLiteral("plover"));
    const QString text = messages.shown.value(0).text;
    EXPECT_TRUE(text.contains("No complete answer came from the cell location service at " +
                              nowhere + ":\n\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("refused"), Qt::CaseInsensitive));
    EXPECT_TRUE(text.contains(QStringLiteral("systemctl --user start cellsvc.socket")));
    EXPECT_TRUE(opener.opened.isEmpty());
}

} // namespace
