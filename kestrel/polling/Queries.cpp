#include "kestrel/polling/Queries.h"

at::CopsOutcome queryOperator(AtTransaction& transaction, const at::CopsState& kept)
{
    transaction.clearReplyText();
    transaction.run(QStringLiteral("AT+COPS?"), AtTransaction::kCopsEndMarker);
    at::CopsOutcome out = at::parseCopsReply(transaction.replyText(), kept);
    if (out.switchCommand) {
        transaction.run(*out.switchCommand, AtTransaction::kOkEndMarker);
    }
    return out;
}

at::CsqOutcome querySignal(AtTransaction& transaction, const at::CsqState& kept)
{
    transaction.resetReadCounter();
    transaction.clearReplyText();
    transaction.run(QStringLiteral("AT+CSQ"), AtTransaction::kOkEndMarker);
    return at::parseCsqReply(transaction.replyText(), kept);
}

at::CgregOutcome queryRegistration(AtTransaction& transaction, const at::CopsState& cops,
                                   const at::CgregState& kept)
{
    if (at::onLte(cops)) {
        transaction.run(QStringLiteral("AT+CEREG=2"), AtTransaction::kOkEndMarker);
        transaction.run(QStringLiteral("AT+CEREG?"), AtTransaction::kOkEndMarker);
        return at::parseCeregReply(transaction.replyText(), kept);
    }
    transaction.run(QStringLiteral("AT+CGREG=2"), AtTransaction::kOkEndMarker);
    transaction.run(QStringLiteral("AT+CGREG?"), AtTransaction::kOkEndMarker);
    return at::parseCgregReply(transaction.replyText(), kept);
}
