#pragma once
// What a listener hears as a click, a zipper or a tick, as numbers: the
// energy a filter lets through (above 8 kHz, or all but a test tone) in 20 ms
// windows, against the energy of the output itself. In double precision, so
// that the filters' own rounding stays far below what they measure.

#include "support/signals.h"

#include <cstddef>
#include <vector>

namespace bandenergy
{
class BiquadCascade
{
public:
    // Butterworth of an even order, made of second-order sections.
    static BiquadCascade highPass(double cutoff, double sampleRate, int order);
    // `sections` notches in a row, each of quality q.
    static BiquadCascade notch(double frequency, double sampleRate, double q, int sections);

    std::vector<double> filter(const std::vector<float>& samples) const;

private:
    struct Section
    {
        double b0, b1, b2, a1, a2;
    };
    std::vector<Section> sections;
};

// The loudest 20 ms window (half-overlapping) of both channels through the
// filter between frames from and to, in dB against the output's own mean
// energy per window there.
double worstWindowDb(const testsupport::StereoBuffer& output, const BiquadCascade& filter, double sampleRate,
                     std::size_t from, std::size_t to);
}  // namespace bandenergy
