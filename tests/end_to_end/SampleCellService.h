#pragma once

#include "platform/message/FakeMessageSink.h"
#include "platform/web/FakeUrlOpener.h"
#include "tests/support/WaitUntil.h"
#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ReaderPool.h"

#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <utility>

// The cell-location service as `cellsvc serve` runs it on 127.0.0.1, serving the sample export
// imported into a database of its own.
class SampleCellService
{
public:
    SampleCellService() : readers_(imported(dir_.filePath("cells.db")), 2) {}
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.port()); }

private:
    static std::string imported(const QString& database)
    {
        const std::atomic<bool> stop{false};
        cellsvc::importFile(CELLSVC_SAMPLE, database.toStdString(), 16, {}, stop);
        return database.toStdString();
    }

    QTemporaryDir dir_;
    cellsvc::ReaderPool readers_;
    cellsvc::CellService service_{
        [this](const cellsvc::CellKey& key) { return readers_.find(key); },
        {},
        [this](const cellsvc::NearQuery& query) {
            return readers_.near(query, cellsvc::kMaxNearCells);
        }};
    cellsvc::HttpServer server_{{"127.0.0.1", 0},
                                [this](std::string_view method, std::string_view target) {
                                    return service_.handle(method, target);
                                }};
};

// Waits for what a lookup comes to, then takes it out of the fakes: the maps opened, then the
// messages shown, each followed by its detail when it has one.
inline QStringList lookupOutcomes(FakeUrlOpener& opener, FakeMessageSink& messages)
{
    waitUntil([&] { return !opener.opened.isEmpty() || !messages.shown.isEmpty(); });
    QStringList outcomes = QUrl::toStringList(std::exchange(opener.opened, {}), QUrl::FullyEncoded);
    for (const FakeMessageSink::Shown& message : std::exchange(messages.shown, {}))
        outcomes << message.title + ": " + message.text +
                        (message.detail.isEmpty() ? QString() : " (" + message.detail + ")");
    return outcomes;
}
