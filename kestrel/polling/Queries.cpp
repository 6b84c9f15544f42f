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

QualityOutcome queryQuality(AtTransaction& transaction, QualityCommand command)
{
    constexpr auto anyCase = AtTransaction::ErrorWord::AnyCase;
    if (command == QualityCommand::Hcsq) {
        transaction.run(QStringLiteral("AT^HCSQ?"), AtTransaction::kOkEndMarker, anyCase);
        if (const auto quality = at::parseHcsqReply(transaction.replyText())) {
            return {quality, QualityCommand::Hcsq};
        }
        if (!at::refused(transaction.replyText())) {
            return {std::nullopt, QualityCommand::Hcsq};
        }
        command = QualityCommand::Cesq;
    }
    if (command == QualityCommand::Neither) {
        return {std::nullopt, command};
    }
    transaction.run(QStringLiteral("AT+CESQ"), AtTransaction::kOkEndMarker, anyCase);
    if (const auto quality = at::parseCesqReply(transaction.replyText())) {
        return {quality, QualityCommand::Cesq};
    }
    return {std::nullopt,
            at::refused(transaction.replyText()) ? QualityCommand::Neither : QualityCommand::Cesq};
}

FrequencyOutcome queryFrequency(AtTransaction& transaction)
{
    transaction.run(QStringLiteral("AT^HFREQINFO?"), AtTransaction::kOkEndMarker,
                    AtTransaction::ErrorWord::AnyCase);
    return {at::parseHfreqinfoReply(transaction.replyText()), at::refused(transaction.replyText())};
}
