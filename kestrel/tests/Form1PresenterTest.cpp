// The presenter: a reading as the main window's captions, colours and bar.
#include "kestrel/Form1Presenter.h"

#include "kestrel/tests/QtPrinters.h"

#include <gtest/gtest.h>

namespace
{

using at::Generation;

const QColor kBefore(10, 20, 30); // the button-text colour of the platform's palette
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 192, 0);
const QColor kAmber(255, 176, 0);
const QColor& kGrey = captionGrey;

// "Mobile Net" on 3G, 001/01, index 20, LAC 6699, cell 12834021: all current.
MonitorReading steady()
{
    MonitorReading r;
    r.operatorNamed = r.operatorKnown = true;
    r.operatorName = QStringLiteral("Mobile Net");
    r.operatorGeneration = r.generation = Generation::G3;
    r.mcc = QStringLiteral("001");
    r.mnc = QStringLiteral("01");
    r.lac = QStringLiteral("6699");
    r.cellId = QStringLiteral("12834021");
    r.levelDbm = -73;
    r.barValue = 20;
    r.rawReply = QStringLiteral("\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
    return r;
}

template <class Change> MonitorReading steadyWith(Change change)
{
    MonitorReading r = steady();
    change(r);
    return r;
}

TEST(Form1Presenter, EachReadingHasItsCaptionsAndColours)
{
    const struct {
        const char* name;
        MonitorReading reading;
        QString cops;
        QString csq;
        QColor copsColour;
        QColor csqColour;
        QColor barColour;
        QColor locationColour;
    } rows[] = {
        {"BeforeTheFirstReading", MonitorReading(), "", "", kBefore, lightBlue, lightBlue,
         lightBlue},
        {"A3GReadingInDbm", steady(), "Mobile Net (3G)", "  -73db", kBlue, lightBlue, kBlue,
         lightBlue},
        {"ReadInPercentModeShowsTheBarsPercentage",
         steadyWith([](MonitorReading& r) { r.levelInPercent = true; }), "Mobile Net (3G)", "  66%",
         kBlue, lightBlue, kBlue, lightBlue},
        {"AClearedLevelShowsNoLevel", steadyWith([](MonitorReading& r) { r.levelDbm.reset(); }),
         "Mobile Net (3G)", "", kBlue, lightBlue, kBlue, lightBlue},
        {"TheColourFollowsTheStickTheSuffixTheName",
         steadyWith([](MonitorReading& r) { r.generation = Generation::G4; }), "Mobile Net (3G)",
         "  -73db", kAmber, lightBlue, kAmber, lightBlue},
        {"AnEmptyNameStillCarriesItsSuffix",
         steadyWith([](MonitorReading& r) { r.operatorName.clear(); }), " (3G)", "  -73db", kBlue,
         lightBlue, kBlue, lightBlue},
        {"ANameWithoutGeneration", steadyWith([](MonitorReading& r) {
             r.operatorGeneration = r.generation = Generation::Unknown;
         }),
         "Mobile Net", "  -73db", kBefore, lightBlue, lightBlue, lightBlue},
        {"NoOperator", steadyWith([](MonitorReading& r) {
             r.operatorNamed = false;
             r.generation = Generation::G2;
         }),
         "", "  -73db", kGreen, lightBlue, kGreen, lightBlue},
        {"AStaleOperator", steadyWith([](MonitorReading& r) { r.operatorStale = true; }),
         "Mobile Net (3G)", "  -73db", kGrey, lightBlue, kBlue, lightBlue},
        {"AStaleLevel", steadyWith([](MonitorReading& r) { r.levelStale = true; }),
         "Mobile Net (3G)", "  -73db", kBlue, kGrey, kGrey, lightBlue},
        {"AStaleLocation", steadyWith([](MonitorReading& r) { r.locationStale = true; }),
         "Mobile Net (3G)", "  -73db", kBlue, lightBlue, kBlue, kGrey},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Form1Captions c = presentReading(row.reading, kBefore);
        const MonitorReading& r = row.reading;
        EXPECT_EQ((QStringList{c.cops, c.csq, c.mcc, c.mnc, c.lac, c.cellId, c.text1}),
                  (QStringList{row.cops, row.csq, r.mcc, r.mnc, r.lac, r.cellId, r.rawReply}));
        EXPECT_EQ(c.barValue, r.barValue);
        // The operator's, its codes', the level's, the bar's, the LAC's and the cell ID's.
        const QColor codes = r.operatorStale ? kGrey : lightBlue;
        EXPECT_EQ((QList<QColor>{c.copsColour, c.mccColour, c.mncColour, c.csqColour, c.barColour,
                                 c.lacColour, c.cellIdColour}),
                  (QList<QColor>{row.copsColour, codes, codes, row.csqColour, row.barColour,
                                 row.locationColour, row.locationColour}));
    }
}

// On 4G and 5G the tracking area, the stick's figures and the cell's parts; on 3G the window
// as it always was, whatever figures a reading still holds.
TEST(Form1Presenter, A4gReadingAddsItsFiguresAndItsCell)
{
    // On 4G: cell 27447297 is eNodeB 107216, sector 1.
    MonitorReading lte = steadyWith([](MonitorReading& r) {
        r.generation = Generation::G4;
        r.cellId = QStringLiteral("27447297");
        r.quality = {.rsrpDbm = -96, .sinrDb = 16.0, .rsrqDb = -11.0};
        r.band = 1;
        r.earfcn = 425;
    });
    MonitorReading nsa = lte, cesq = lte, back3g = lte;
    nsa.generation = Generation::G5;
    nsa.quality.nrRsrpDbm = -64;
    nsa.quality.nrSinrDb = 27.0;
    nsa.quality.nrRsrqDb = -4.5;
    cesq.quality.sinrDb.reset();
    cesq.band.reset();
    cesq.qualityStale = true;
    back3g.generation = Generation::G3;
    const struct {
        const char* name;
        MonitorReading reading;
        QString lacCaption;
        QString quality;
        QString cellLine;
    } rows[] = {
        {"Lte", lte, "TAC :  ", "RSRP -96 dBm\nSINR 16.0 dB  RSRQ -11.0 dB",
         "eNodeB 107216  sector 1   band 1 (EARFCN 425)"},
        {"NsaWithItsNrFigures", nsa, "TAC :  ", "RSRP -96 dBm\nSINR 16.0 dB  RSRQ -11.0 dB",
         "eNodeB 107216  sector 1   band 1 (EARFCN 425)   NR RSRP -64 dBm  SINR 27.0  RSRQ -4.5"},
        {"CesqWithoutSinrNorBand", cesq, "TAC :  ", "RSRP -96 dBm\nRSRQ -11.0 dB",
         "eNodeB 107216  sector 1"},
        {"Back3g", back3g, "LAC :  ", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Form1Captions c = presentReading(row.reading, kBefore);
        EXPECT_EQ(c.lacCaption, row.lacCaption);
        EXPECT_EQ(c.quality, row.quality);
        EXPECT_EQ(c.cellLine, row.cellLine);
        EXPECT_EQ(c.qualityColour, row.reading.qualityStale ? kGrey : lightBlue);
    }
}

} // namespace
