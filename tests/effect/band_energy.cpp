#include "band_energy.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bandenergy
{
BiquadCascade BiquadCascade::highPass(double cutoff, double sampleRate, int order)
{
    BiquadCascade cascade;
    const double w0 = 2.0 * std::numbers::pi * cutoff / sampleRate;
    const double cosine = std::cos(w0);
    for (int pair = 1; pair <= order / 2; ++pair)
    {
        // The Butterworth poles' quality, pair by pair.
        const double q = 1.0 / (2.0 * std::cos((2.0 * pair - 1.0) * std::numbers::pi / (2.0 * order)));
        const double alpha = std::sin(w0) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        cascade.sections.push_back({(1.0 + cosine) / 2.0 / a0, -(1.0 + cosine) / a0, (1.0 + cosine) / 2.0 / a0,
                                    -2.0 * cosine / a0, (1.0 - alpha) / a0});
    }
    return cascade;
}

BiquadCascade BiquadCascade::notch(double frequency, double sampleRate, double q, int sections)
{
    BiquadCascade cascade;
    const double w0 = 2.0 * std::numbers::pi * frequency / sampleRate;
    const double cosine = std::cos(w0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    for (int section = 0; section < sections; ++section)
        cascade.sections.push_back({1.0 / a0, -2.0 * cosine / a0, 1.0 / a0, -2.0 * cosine / a0, (1.0 - alpha) / a0});
    return cascade;
}

std::vector<double> BiquadCascade::filter(const std::vector<float>& samples) const
{
    std::vector<double> signal(samples.begin(), samples.end());
    for (const Section& section : sections)
    {
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        for (double& sample : signal)
        {
            const double y = section.b0 * sample + section.b1 * x1 + section.b2 * x2 - section.a1 * y1 -
                             section.a2 * y2;
            x2 = x1;
            x1 = sample;
            y2 = y1;
            y1 = y;
            sample = y;
        }
    }
    return signal;
}

double worstWindowDb(const testsupport::StereoBuffer& output, const BiquadCascade& filter, double sampleRate,
                     std::size_t from, std::size_t to)
{
    const auto window = static_cast<std::size_t>(0.02 * sampleRate);
    const std::vector<double> left = filter.filter(output.left);
    const std::vector<double> right = filter.filter(output.right);
    double outputEnergy = 0.0;
    for (std::size_t n = from; n < to; ++n)
        outputEnergy += static_cast<double>(output.left[n]) * output.left[n] +
                        static_cast<double>(output.right[n]) * output.right[n];
    const double perWindow = outputEnergy * static_cast<double>(window) / static_cast<double>(to - from);

    double worst = 0.0;
    for (std::size_t start = from; start + window <= to; start += window / 2)
    {
        double energy = 0.0;
        for (std::size_t n = start; n < start + window; ++n)
            energy += left[n] * left[n] + right[n] * right[n];
        worst = std::max(worst, energy);
    }
    return 10.0 * std::log10(std::max(worst, 1e-300) / perWindow);
}
}  // namespace bandenergy
