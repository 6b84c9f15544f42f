// The locator's window, with its real page loader, asking a cell service that serves the
// sample export on 127.0.0.1: the same road as "MAP" against `cellsvc serve`.
#include "platform/filedialog/FakeFileDialog.h"
#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakeUrlOpener.h"
#include "platform/web/NetworkPageLoader.h"
#include "plover/Form1.h"
#include "tests/support/TestApp.h"
#include "tests/support/WaitUntil.h"
#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace
{

const QString mapBase = QStringLiteral("https://map.test");

class LocatorAsksCellService : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const std::string database = dir.filePath(QStringLiteral("cells.db")).toStdString();
        const std::atomic<bool> stop{false};
        cellsvc::importFile(CELLSVC_SAMPLE, database, 16, {}, stop);
        readers = std::make_unique<cellsvc::ReaderPool>(database, 2);
        service = std::make_unique<cellsvc::CellService>(
            [this](const cellsvc::CellKey& key) { return readers->find(key); });
        server = std::make_unique<cellsvc::HttpServer>(
            cellsvc::ListenAddress{"127.0.0.1", 0},
            [this](std::string_view method, std::string_view target) {
                return service->handle(method, target);
            });
        const QString serviceBase = QStringLiteral("http://127.0.0.1:%1").arg(server->port());
        form = std::make_unique<Form1>(dialog, loader, opener, messages,
                                       lookup::BaseAddresses{serviceBase, mapBase});
    }

    void ask(const QString& mcc, const QString& mnc, const QString& lac, const QString& cellid)
    {
        form->Txtmcc->setText(mcc);
        form->Txtmnc->setText(mnc);
        form->Txtlac->setText(lac);
        form->Txtcellid->setText(cellid);
        form->Command1_Click();
        ASSERT_TRUE(
            waitUntil([this] { return !opener.opened.isEmpty() || !messages.shown.isEmpty(); }));
    }

    WidgetApp app;
    QTemporaryDir dir;
    std::unique_ptr<cellsvc::ReaderPool> readers;
    std::unique_ptr<cellsvc::CellService> service;
    std::unique_ptr<cellsvc::HttpServer> server;
    FakeFileDialog dialog;
    NetworkPageLoader loader;
    FakeUrlOpener opener;
    FakeMessageSink messages;
    std::unique_ptr<Form1> form;
};

TEST_F(LocatorAsksCellService, KnownCellOpensTheMapAtItsPosition)
{
    // The sample holds this cell at latitude 55.7558, longitude 37.6173; the map takes
    // longitude first.
    ask("250", "1", "78", "314");
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(opener.opened.first().toString(QUrl::FullyEncoded),
              mapBase + "/?l=map/&pt=37.61730,55.75580&ll=37.61730,55.75580&z=10");
}

TEST_F(LocatorAsksCellService, UnknownCellSaysTheIdDoesNotExist)
{
    ask("250", "1", "78", "999999");
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.first().title, "plover");
    EXPECT_EQ(messages.shown.first().text, "ID does not exist");
}

} // namespace
