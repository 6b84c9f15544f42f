#pragma once

#include "kestrel/monitor/MonitorReading.h"

#include <QColor>
#include <QString>

// The light blue of the display panel's fields and captions, and the grey of the window's own
// captions, which stale readings take too.
inline const QColor lightBlue(192, 192, 255);
inline const QColor captionGrey(128, 128, 128);

// What the main window shows for a reading.
struct Form1Captions {
    QString cops;
    QString mcc;
    QString mnc;
    QString csq;
    QString lac;
    QString cellId;
    QString text1;
    // On 4G and 5G: "TAC :" for "LAC :", the quality figures beside the level, and the line
    // below the controls with the cell's eNodeB, sector and band; empty otherwise.
    QString lacCaption;
    QString quality;
    QString cellLine;
    QColor copsColour;
    QColor mccColour;
    QColor mncColour;
    QColor csqColour;
    QColor lacColour;
    QColor cellIdColour;
    QColor qualityColour;
    QColor barColour;
    int barValue = 0;

    bool operator==(const Form1Captions&) const = default;
};

// The reading as the main window's captions, colours and bar: the operator line "Mobile Net
// (3G)" in its generation's colour (`beforeAnyGeneration` until the stick named one), the
// level as "  -73db" or, when it was read in percent mode, as the bar's percentage "  66%";
// every part that is no longer current in grey.
Form1Captions presentReading(const MonitorReading& reading, const QColor& beforeAnyGeneration);

// The operator line: the name and its generation, such as "Mobile Net (3G)"; empty before the
// first name and after "no operator".
QString operatorLine(const MonitorReading& reading);

// "RSRP -96 dBm" over "SINR 16.0 dB  RSRQ -11.0 dB": the figures a 4G stick measures, each
// when known; the power, by which people aim, on a line of its own.
QString qualityCaption(const at::RadioQuality& quality);

// "eNodeB 107216  sector 1   band 1 (EARFCN 425)   NR RSRP -64 dBm  SINR 27.0  RSRQ -4.5": the
// parts of a 4G cell ID (28 bits: eNodeB ID x 256 + sector), its band and channel, and a 5G NSA
// stick's NR figures; each part when known.
QString lteCellLine(const MonitorReading& reading);

// The dBm caption of `LblCSQ`: two blanks, the level, then "db" ("  -73db").
QString dbmCaption(int levelDbm);

// The percentage caption of `LblCSQ`: two blanks, the level bar's percentage rounded half to
// even, then "%" ("  52%").
QString percentCaption(double barPercentage);
