#include "kestrel/aiming/AimingTone.h"
#include "kestrel/aiming/TonePitch.h"
#include "kestrel/aiming/ToneSynth.h"
#include "platform/sound/FakePcmOutput.h"
#include "tests/support/TestApp.h"

#include <QCoreApplication>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace
{

constexpr int kRate = 48000;

TEST(TonePitch, RisesOnAMusicalScaleFromWeakestToStrongest)
{
    using enum AimMeasure;
    const struct {
        AimMeasure measure;
        double value;
        double hz;
    } rows[] = {
        {Level, -113, 300}, {Level, -51, 1500}, {Level, -82, 670.82}, // the middle: geometric mean
        {Level, -130, 300}, {Level, -20, 1500},                       // beyond the ends
        {Rsrp, -140, 300},  {Rsrp, -44, 1500},  {Rsrp, -92, 670.82},  {Sinr, -20, 300},
        {Sinr, 30, 1500},   {Sinr, 5, 670.82},  {Sinr, 45.5, 1500},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(tonePitchHz(row.measure, row.value), row.hz, 0.01)
            << aimMeasureName(row.measure).toStdString() << " " << row.value;
    // Equal steps are equal intervals, at the bottom as at the top.
    EXPECT_NEAR(tonePitchHz(Level, -111) / tonePitchHz(Level, -113),
                tonePitchHz(Level, -51) / tonePitchHz(Level, -53), 1e-9);
}

std::vector<qint16> render(ToneSynth& synth, int frames)
{
    std::vector<qint16> samples(static_cast<std::size_t>(frames));
    synth.render(samples.data(), frames);
    return samples;
}

// Sign changes per second: twice the frequency.
double measuredHz(const std::vector<qint16>& samples)
{
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    return crossings / 2.0 * kRate / double(samples.size());
}

int largestStep(const std::vector<qint16>& samples)
{
    int largest = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        largest = std::max(largest, std::abs(samples[i] - samples[i - 1]));
    return largest;
}

TEST(ToneSynth, FadesInPlaysThePitchItIsGivenGlidesWithoutAJumpAndFadesOut)
{
    ToneSynth synth(kRate);
    EXPECT_EQ(largestStep(render(synth, 480)), 0) << "silent before a target";
    for (const double hz : {300.0, 670.82, 1500.0}) {
        synth.setTarget(hz, 0.3);
        const std::vector<qint16> glide = render(synth, kRate / 10); // the glide settles
        if (hz == 300.0) {
            EXPECT_LT(std::abs(glide[0]), 500) << "no click at the start";
        }
        EXPECT_NEAR(measuredHz(render(synth, kRate)), hz, 1.5);
    }
    // A jump of the target from the top to the bottom of the range: the samples never step by
    // more than the steepest slope of the higher tone, so there is no click.
    const int steepest = static_cast<int>(std::ceil(2 * M_PI * 1500 / kRate * 0.3 * 32767)) + 1;
    synth.setTarget(300, 0.3);
    EXPECT_LE(largestStep(render(synth, kRate / 10)), steepest);

    synth.setTarget(300, 0);
    render(synth, kRate / 10);
    const std::vector<qint16> after = render(synth, 480);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](qint16 s) { return s == 0; }));
}

TEST(AimingTone, FollowsItsPitchOnlyWhileOnAndDucksUnderTheVoice)
{
    const TestApp<QCoreApplication> app; // the tone's timers need one
    FakePcmOutput output;
    AimingTone tone(&output);
    const auto heading = [&] {
        return std::pair{tone.generator().targetPitchHz(), tone.generator().targetGain()};
    };

    tone.showPitch(tonePitchHz(AimMeasure::Level, -73));
    EXPECT_EQ(heading().second, 0) << "off";
    EXPECT_EQ(output.source, nullptr);

    tone.setOn(true);
    EXPECT_EQ(output.source, &tone.generator());
    EXPECT_EQ(heading(), std::pair(tonePitchHz(AimMeasure::Level, -73), AimingTone::kGain));
    tone.duck();
    EXPECT_EQ(heading().second, AimingTone::kDuckedGain);
    tone.showPitch(std::nullopt);
    EXPECT_EQ(heading(), std::pair(tonePitchHz(AimMeasure::Level, -73), 0.0))
        << "stale: fades out at its pitch";
    tone.showPitch(tonePitchHz(AimMeasure::Level, -51));
    EXPECT_EQ(heading().first, tonePitchHz(AimMeasure::Level, -51));

    tone.setOn(false);
    EXPECT_EQ(heading().second, 0);
    EXPECT_EQ(output.source, &tone.generator()) << "the output stops after the fade";

    FakePcmOutput none;
    none.available = false;
    AimingTone silent(&none);
    EXPECT_FALSE(silent.setOn(true)) << "without an output the tone stays off";
    EXPECT_FALSE(silent.isOn());
    silent.showPitch(600);
    EXPECT_EQ(none.source, nullptr);
}

} // namespace
