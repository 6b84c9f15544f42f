#include "kestrel/polling/AtTransaction.h"

#include "platform/serial/FakeCommControl.h"
#include "tests/support/TextPrinter.h"

#include <deque>
#include <gtest/gtest.h>

namespace
{

using Reads = std::deque<std::optional<QString>>;

Reads concat(Reads a, const Reads& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const QString kOk = AtTransaction::kOkEndMarker;
const QString kCops = AtTransaction::kCopsEndMarker;
const QString kCsqReply = QStringLiteral("\r\n+CSQ: 20,99\r\n\r\nOK\r\n");

TEST(AtTransactionRun, StopsWhereTheMarkersSayAndSettlesTheCounter)
{
    const struct {
        const char* name;
        QString endMarker;
        Reads reads;
        int readsMade;
        QString reply;
        AtTransaction::ErrorWord errorWord = AtTransaction::ErrorWord::AsWritten;
    } rows[] = {
        // clang-format off
        {"WholeReplyInOneRead", kOk, {kCsqReply}, 1, kCsqReply},
        {"ReplyAfterSomeEmptyReads", kOk, concat(Reads(7, ""), {kCsqReply}), 8, kCsqReply},
        {"SilentModemStopsAfter500Reads", kOk, {}, 500, ""},
        {"The500thReadIsTheLast", kOk, concat(Reads(499, ""), {"late", "later"}), 500, "late"},
        {"EndMarkerOnThe500thRead", kOk, concat(Reads(499, ""), {kCsqReply}), 500, kCsqReply},
        {"ErrorEndsAtOnce", kOk, {"", "\r\n+CME Error: 3\r\n"}, 2, "\r\n+CME Error: 3\r\n"},
        {"ErrorInCapitalsDoesNotEndTheWait", kOk, {"\r\nERROR\r\n"}, 500, ""},
        {"ErrorInCapitalsEndsA4gQuery", kOk, {"", "\r\nERROR\r\n"}, 2, "\r\nERROR\r\n",
         AtTransaction::ErrorWord::AnyCase},
        {"SplitReplyLeavesOnlyTheSecondPiece", kOk, {"\r\n+CSQ: 20,99\r\n", "\r\nOK\r\n"}, 2,
         "\r\nOK\r\n"},
        {"OkWithoutLineEndDoesNotEnd", kOk, {"\r\n+CSQ: 20,99\r\n\r\nOK"}, 500, ""},
        {"FailedReadsKeepTheLastText", kOk, concat({"\r\n+CSQ: 20,99"}, Reads(600, std::nullopt)),
         500, "\r\n+CSQ: 20,99"},
        {"CopsEndsAtTheTagEvenMidLine", kCops, {"\r\n+COPS: 0,0,\"Mob", "ile Net\",2\r\n"}, 1,
         "\r\n+COPS: 0,0,\"Mob"},
        {"CopsIgnoresAPlainOk", kCops, {"\r\nOK\r\n", "\r\n+COPS: 0\r\n"}, 2, "\r\n+COPS: 0\r\n"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeCommControl port;
        port.setPortOpen(true);
        port.scriptedReads = row.reads;
        AtTransaction transaction(port);

        transaction.run(QStringLiteral("AT+CSQ"), row.endMarker, row.errorWord);

        EXPECT_EQ(port.written, QStringList{QStringLiteral("AT+CSQ\r")});
        EXPECT_EQ(port.readCount, row.readsMade);
        EXPECT_EQ(transaction.replyText(), row.reply);
        EXPECT_EQ(transaction.readCounter(), 0);
    }
}

TEST(AtTransactionSequence, ALeftoverReplyThenAPulledStickThenTheFullReadLimitThenAStop)
{
    FakeCommControl port;
    port.setPortOpen(true);
    // The modem's answer to a network-mode command nobody waited for, then the real reply.
    port.scriptedReads = {QStringLiteral("\r\nOK\r\n"), kCsqReply};
    AtTransaction transaction(port);

    transaction.run(QStringLiteral("AT+CSQ"), kOk);
    EXPECT_EQ(port.readCount, 1);
    EXPECT_EQ(transaction.replyText(), QStringLiteral("\r\nOK\r\n"));
    transaction.run(QStringLiteral("AT+CGREG=2"), kOk);
    EXPECT_EQ(port.readCount, 2);
    EXPECT_EQ(transaction.replyText(), kCsqReply) << "the late reply goes to the next command";

    // A pulled stick: each later transaction ends at its first read, so a cycle on a dead port
    // costs nothing, and the last reply stays.
    port.lost = true;
    transaction.run(QStringLiteral("AT+COPS?"), kCops);
    transaction.run(QStringLiteral("AT+CSQ"), kOk);
    EXPECT_EQ(port.written, (QStringList{"AT+CSQ\r", "AT+CGREG=2\r"}));
    EXPECT_EQ(port.readCount, 4);
    EXPECT_EQ(transaction.replyText(), kCsqReply);
    EXPECT_EQ(transaction.readCounter(), 0);

    port.lost = false;
    transaction.run(QStringLiteral("AT+CSQ"), kOk);
    EXPECT_EQ(port.readCount, 4 + AtTransaction::kReadLimit) << "a full read limit each time";
    EXPECT_EQ(transaction.readCounter(), 0);

    // The program ends: the wait stops after one read.
    std::atomic<bool> stop{true};
    transaction.stopWhen(stop);
    transaction.run(QStringLiteral("AT+CSQ"), kOk);
    EXPECT_EQ(port.readCount, 5 + AtTransaction::kReadLimit);
    EXPECT_EQ(transaction.readCounter(), 0);
}

// A modem that streams without pause: every read comes back full and late. The read window
// ends the transaction long before 500 reads, and the read limit still holds where the reads
// are quick.
TEST(AtTransactionSequence, TheReadWindowEndsAStreamBeforeTheReadLimit)
{
    // Milliseconds per read, and the reads made: at 30 ms the 25th ends at 750 ms.
    for (const auto& [msPerRead, readsMade] :
         {std::pair<qint64, int>{30, 25}, {1, AtTransaction::kReadLimit}}) {
        SCOPED_TRACE(msPerRead);
        FakeCommControl port;
        port.setPortOpen(true);
        port.scriptedReads = Reads(600, QStringLiteral("\x7f\x01 noise without end"));
        AtTransaction transaction(port, [&] { return port.readCount * msPerRead; });
        transaction.run(QStringLiteral("AT+CSQ"), kOk);
        EXPECT_EQ(port.readCount, readsMade);
        EXPECT_EQ(transaction.readCounter(), 0);
    }
}

} // namespace
