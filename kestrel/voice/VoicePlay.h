#pragma once

#include <QString>

class SoundPlayer;

// What one tick of the voice timer reads from the main window and the program.
struct VoiceInputs {
    bool check2Ticked = false;  // "LEVEL AS VOICE": speak at all
    bool check1Ticked = false;  // "LEVEL PERCENTAGE ": speak the percentage, not the dBm
    double levelPercentage = 0; // the level bar's percentage, 0 to 100
    QString levelDbm;           // LevelDbm as text, e.g. "-85"; empty after a cleared reading
    QString executableFolder;   // the folder that holds the running program
};

// Plays the recording of the current level: with Check2 ticked, names the file and sends
// "Close", "Open", "Play"; with Check2 unticked sends nothing, so a sound still playing ends by
// itself. Whether the file exists is the player's concern, not this one's.
void voiceplay(SoundPlayer& player, const VoiceInputs& inputs);

// The number to speak, as it names the recording: with Check1 ticked the percentage rounded
// half to even, as the level display rounds it; otherwise LevelDbm from its second character,
// at most three characters ("-85" gives "85", "-101" gives "101", "" gives "").
QString spokenNumber(const VoiceInputs& inputs);

// "<executableFolder>/sound/<number>.MP3".
QString soundFileName(const QString& executableFolder, const QString& number);

// The folder of the recordings: "sound" inside the executable's folder.
QString soundFolder(const QString& executableFolder);
