#pragma once
// What a render did to the stereo image, measured block by block.

#include <cstdint>

namespace render
{
class WidthMeter
{
public:
    // One block of the effect's input and output channels.
    void add(const float* inputLeft, const float* inputRight, const float* outputLeft, const float* outputRight,
             std::int64_t frameCount);

    // Side (L-R) to mid (L+R) energy in dB; minus infinity when there is no
    // side signal (a mono source), plus infinity when there is no mid, NaN for
    // silence.
    double inputSideToMidDb() const { return ratioDb(inputSideEnergy, inputMidEnergy); }
    double outputSideToMidDb() const { return ratioDb(outputSideEnergy, outputMidEnergy); }
    // Largest |sample| of the output, 1.0 = full scale.
    double outputPeak() const { return peak; }
    // Output samples (of either channel) whose magnitude is above full
    // scale: an integer file clips each of them.
    std::int64_t samplesAboveFullScale() const { return aboveFullScale; }
    // Largest |(L+R)out - (L+R)in|: how far the mono sum moved.
    double maxMonoSumChange() const { return monoSumChange; }

private:
    static double ratioDb(double side, double mid);

    double inputMidEnergy = 0.0;
    double inputSideEnergy = 0.0;
    double outputMidEnergy = 0.0;
    double outputSideEnergy = 0.0;
    double peak = 0.0;
    double monoSumChange = 0.0;
    std::int64_t aboveFullScale = 0;
};

// 20 log10 of a linear amplitude; minus infinity for silence.
double amplitudeToDb(double amplitude);
}  // namespace render
