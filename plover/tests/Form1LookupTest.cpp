#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/DesktopUrlOpener.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "platform/web/tests/LocalHttpServer.h"
#include "plover/Form1.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "tests/support/TextPrinter.h"
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

QByteArray coordinates(const QByteArray& latitude, const QByteArray& longitude)
{
    return "<location><coordinates latitude=\"" + latitude + "\" longitude=\"" + longitude +
           "\"/></location>";
}

// What failed, and what the user is told: one message box, a piece of its text and its detail.
// Maps go to a stand-in for xdg-open that notes each address and finds no browser. How each kind
// of reply is read is CellLookup's test, and a known and an unknown cell over HTTP are the
// end-to-end test's.
TEST_F(Form1Lookup, EachFailureIsToldWithWhatWentWrong)
{
    TempFolder folder;
    ASSERT_TRUE(
        folder.write("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$0.got\"\nexit 3\n"));
    QFile::setPermissions(folder.path("xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
    NetworkPageLoader pages;
    DesktopUrlOpener browser(folder.path("xdg-open"));
    Form1 window{dialog, pages, browser, messages, {service.base(), mapBase}};
    // The same server under another name: whatever was sent there would show in its targets.
    const QString elsewhere =
        QString(service.base()).replace("127.0.0.1", "localhost") + "/cellid_location/?moved";
    const struct {
        const char* failed;
        LocalHttpServer::Reply reply;
        QString says;
        QString detail;
    } rows[] = {
        {"the service refuses a hexadecimal LAC",
         {400,
          "application/xml; charset=UTF-8",
          R"(<?xml version="1.0" encoding="UTF-8"?><error code="notANumber">the value of lac )"
          R"((the area code (LAC)) is not a decimal number</error>)",
          {},
          false},
         "ID does not exist",
         "the value of lac (the area code (LAC)) is not a decimal number"},
        {"a longitude of a million blanks",
         {200, "text/xml", coordinates("55.7", QByteArray(1000000, ' ')), {}, false},
         "ID does not exist",
         "the longitude the service gave is 1000000 characters long, too long for a number"},
        {"words for coordinates",
         {200, "text/xml", coordinates("abc", "xyz"), {}, false},
         "ID does not exist",
         "the latitude the service gave, \u201cabc\u201d, is not a decimal number\n"
         "the longitude the service gave, \u201cxyz\u201d, is not a decimal number"},
        {"a place off the globe",
         {200, "text/xml", coordinates("999", "-500"), {}, false},
         "ID does not exist",
         "the latitude the service gave, 999, is not between -90 and 90\n"
         "the longitude the service gave, -500, is not between -180 and 180"},
        {"a reply cut short",
         {200,
          "text/xml",
          coordinates("55.7", "37.6").left(60),
          {{"Content-Length", "999999"}},
          false},
         "No complete answer came from the cell location service at " + service.base(),
         ""},
        {"a redirect to another host",
         {302, "text/plain", "moved", {{"Location", elsewhere.toLatin1()}}, false},
         "The server sent the request on to " + elsewhere.left(elsewhere.indexOf(u'/', 7)) +
             ", which is not followed",
         ""},
        {"a reply past the cap",
         {200, "text/plain", QByteArray(PageLoader::MaxReplyBytes + 1, 'x'), {}, false},
         "The service's reply is too large",
         ""},
        {"xdg-open finds no browser",
         {200, "text/xml", xmlReply, {}, false},
         "No web browser opened the map (xdg-open ended with status 3: it found no web "
         "browser). Open it by hand:\n\n" +
             xmlMap,
         ""},
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
        EXPECT_EQ(told.title, QStringLiteral("plover"));
        EXPECT_TRUE(told.text.contains(row.says)) << told.text.toStdString();
        EXPECT_EQ(told.detail, row.detail);
    }
    EXPECT_FALSE(service.targets.join(' ').contains("moved"));
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
