#include "core/analysis/onset_picker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>

namespace crackdepth {
namespace {

using Index = std::ptrdiff_t;

constexpr Index kMinSamples = 64;
constexpr Sample kTopRail = 4095;
constexpr double kFloorVariance = 0.25; // a record is never quieter than the converter
constexpr double kQuantisationVariance = 1.0 / 12.0;
constexpr double kDetectSigmas = 4.5; // the record clearly leaves its noise
constexpr double kLobeSigmas = 2.5;   // a half-cycle of the pulse stands out of the noise
constexpr double kQuietRatio = 2.0;   // variance rise allowed before the onset
constexpr double kMinSnr = 8.0;       // peak of the first period over the noise RMS
constexpr double kFullSnr = 28.0;     // from here on the ratio adds no quality

// The waveform less its zero line.
struct Trace {
    std::span<const Sample> samples;
    double zero = 0;

    Index size() const { return static_cast<Index>(samples.size()); }
    double operator[](Index i) const {
        return static_cast<double>(samples[static_cast<std::size_t>(i)]) - zero;
    }
};

struct Crossing {
    double position = 0; // where the trace crosses zero, in samples
    double slope = 0;    // its change per sample there, in the direction of the next lobe
    Index next = 0;      // a sample that stands out of the noise in the next lobe
};

// From `from`, a sample in a half-cycle of polarity `sign`, the zero crossing into the next
// half-cycle: the last change of sign before the trace goes beyond `level` the other way.
std::optional<Crossing> crossingAfter(const Trace& x, Index from, double sign, double level) {
    Index change = -1;
    for (Index i = from + 1; i < x.size(); ++i) {
        const double value = sign * x[i];
        if (value <= 0 && sign * x[i - 1] > 0) {
            change = i;
        }
        if (value < -level) {
            if (change < 0) {
                return std::nullopt;
            }
            const double before = sign * x[change - 1];
            const double after = sign * x[change];
            Crossing crossing;
            crossing.position = static_cast<double>(change - 1) + before / (before - after);
            crossing.slope = before - after;
            crossing.next = i;
            return crossing;
        }
    }
    return std::nullopt;
}

// The crossing placed again by a straight line fitted over `half` samples either side of it,
// so that a long half-cycle averages out more of the noise. Returns the fit's slope.
void refineCrossing(const Trace& x, Crossing& crossing, Index half) {
    const auto centre = static_cast<Index>(std::lround(crossing.position));
    const Index first = std::max<Index>(0, centre - half);
    const Index last = std::min(x.size() - 1, centre + half);
    if (last - first < 2) {
        return;
    }
    double sumT = 0;
    double sumV = 0;
    for (Index i = first; i <= last; ++i) {
        sumT += static_cast<double>(i);
        sumV += x[i];
    }
    const double count = static_cast<double>(last - first + 1);
    const double meanT = sumT / count;
    const double meanV = sumV / count;
    double sumTT = 0;
    double sumTV = 0;
    for (Index i = first; i <= last; ++i) {
        const double t = static_cast<double>(i) - meanT;
        sumTT += t * t;
        sumTV += t * (x[i] - meanV);
    }
    const double slope = sumTV / sumTT;
    // A fit that disagrees on the direction, or lands outside its span, is no better.
    if (slope * crossing.slope >= 0 && std::abs(slope) > 0) {
        const double root = meanT - meanV / slope;
        if (root >= static_cast<double>(first) && root <= static_cast<double>(last)) {
            crossing.position = root;
            crossing.slope = std::abs(slope);
        }
    }
}

// Maeda's direct form of the Akaike information criterion over [begin, end):
// AIC(k) = k·log(var(x[0..k])) + (m−k−1)·log(var(x[k+1..m−1])), m = end − begin.
// Returns the first sample of the later segment at the minimum. A long window is searched on
// a coarse grid first and then sample by sample around the coarse minimum.
Index aicOnset(const Trace& x, Index begin, Index end, Index minLeft = 3, Index minRight = 3) {
    const Index m = end - begin;
    double totalSum = 0;
    double totalSquares = 0;
    for (Index i = begin; i < end; ++i) {
        totalSum += x[i];
        totalSquares += x[i] * x[i];
    }
    const auto aicAt = [&](Index k, double leftSum, double leftSquares) {
        const double leftCount = static_cast<double>(k + 1);
        const double rightCount = static_cast<double>(m - k - 1);
        const double leftMean = leftSum / leftCount;
        const double rightMean = (totalSum - leftSum) / rightCount;
        const double leftVariance =
            std::max(0.0, leftSquares / leftCount - leftMean * leftMean) + kQuantisationVariance;
        const double rightVariance =
            std::max(0.0, (totalSquares - leftSquares) / rightCount - rightMean * rightMean) +
            kQuantisationVariance;
        return static_cast<double>(k) * std::log(leftVariance) +
               static_cast<double>(m - k - 1) * std::log(rightVariance);
    };

    const Index step = std::max<Index>(1, m / 96);
    const auto search = [&](Index from, Index to, Index stride) {
        // Sums over x[begin .. begin + k] for the k visited.
        double leftSum = 0;
        double leftSquares = 0;
        Index summed = 0; // samples in the sums
        double best = std::numeric_limits<double>::infinity();
        Index bestK = from;
        for (Index k = from; k <= to; k += stride) {
            for (; summed <= k; ++summed) {
                const double value = x[begin + summed];
                leftSum += value;
                leftSquares += value * value;
            }
            const double aic = aicAt(k, leftSum, leftSquares);
            if (aic < best) {
                best = aic;
                bestK = k;
            }
        }
        return bestK;
    };
    const Index first = minLeft - 1;
    const Index last = m - minRight - 1;
    Index k = search(first, last, step);
    if (step > 1) {
        k = search(std::max(first, k - step + 1), std::min(last, k + step - 1), 1);
    }
    return begin + k + 1;
}

// Whether the stretch [0, end) before the onset is all noise: the criterion splits it where
// its variance changes most, the later part at least `minLater` samples long, and this is the
// later part's variance over the earlier part's. 0 when the stretch is too short to split.
double laterVarianceRatio(const Trace& x, Index end, Index minEarlier, Index minLater) {
    if (end < minEarlier + 2 * minLater) {
        return 0;
    }
    const Index split = aicOnset(x, 0, end, minEarlier, minLater);
    const auto variance = [&](Index from, Index to) {
        double sum = 0;
        double squares = 0;
        for (Index i = from; i < to; ++i) {
            sum += x[i];
            squares += x[i] * x[i];
        }
        const double count = static_cast<double>(to - from);
        const double mean = sum / count;
        return std::max(squares / count - mean * mean, 0.0) + kFloorVariance;
    };
    return variance(split, end) / variance(0, split);
}

} // namespace

std::optional<OnsetSuggestion> SuggestOnset(std::span<const Sample> samples) {
    const auto n = static_cast<Index>(samples.size());
    if (n < kMinSamples) {
        return std::nullopt;
    }
    const auto railed = std::count_if(samples.begin(), samples.end(),
                                      [](Sample s) { return s == 0 || s >= kTopRail; });
    if (railed * 4 > n) {
        return std::nullopt;
    }

    // The record's start is noise: it gives the zero line, the noise level and how much
    // neighbouring noise samples correlate.
    const Index lead = std::clamp<Index>(n / 16, 32, 64);
    double leadSum = 0;
    for (Index i = 0; i < lead; ++i) {
        const Sample value = samples[static_cast<std::size_t>(i)];
        if (value == 0 || value >= kTopRail) {
            return std::nullopt;
        }
        leadSum += value;
    }
    const Trace x{samples, leadSum / static_cast<double>(lead)};
    double firstHalf = 0;
    double secondHalf = 0;
    double lagged = 0;
    for (Index i = 0; i < lead; ++i) {
        (i < lead / 2 ? firstHalf : secondHalf) += x[i] * x[i];
        if (i > 0) {
            lagged += x[i] * x[i - 1];
        }
    }
    const double variance =
        std::max((firstHalf + secondHalf) / static_cast<double>(lead), kFloorVariance);
    const double sigma = std::sqrt(variance);
    const double halfCount = static_cast<double>(lead / 2);
    const double quieter = std::max(std::min(firstHalf, secondHalf) / halfCount, kFloorVariance);
    const double louder = std::max(firstHalf, secondHalf) / halfCount;
    if (louder > 9.0 * quieter) {
        return std::nullopt; // the pulse starts inside the record's first samples
    }
    const double rho =
        std::clamp(lagged / std::max(firstHalf + secondHalf, kFloorVariance), 0.0, 0.95);
    const double inflation = std::sqrt((1.0 + rho) / (1.0 - rho));

    // Where the record first clearly leaves its noise: a half-cycle beyond the detection level
    // followed by one of the other polarity beyond it too, which a burst of noise seldom is.
    const double strong = kDetectSigmas * sigma;
    const double level = kLobeSigmas * sigma;
    Index from = lead;
    double sign = 1;
    std::optional<Crossing> endOfFirst;
    std::optional<Crossing> endOfSecond;
    for (;;) {
        while (from < n && std::abs(x[from]) <= strong) {
            ++from;
        }
        if (from >= n) {
            return std::nullopt;
        }
        sign = x[from] > 0 ? 1.0 : -1.0;
        endOfFirst = crossingAfter(x, from, sign, level);
        if (!endOfFirst) {
            return std::nullopt;
        }
        endOfSecond = crossingAfter(x, endOfFirst->next, -sign, level);
        if (!endOfSecond) {
            return std::nullopt;
        }
        // The detected sample must lie within the half-cycle that ends at the crossing.
        const double halfCycle = endOfSecond->position - endOfFirst->position;
        double opposite = 0;
        for (Index i = endOfFirst->next; i < static_cast<Index>(endOfSecond->position); ++i) {
            opposite = std::max(opposite, -sign * x[i]);
        }
        if (opposite > strong && endOfFirst->position - static_cast<double>(from) < halfCycle) {
            break;
        }
        while (from < n && std::abs(x[from]) > strong) {
            ++from;
        }
    }

    // The detected half-cycle ends at the first crossing; the next one lasts as long as it, so
    // it began a half-period before that crossing.
    const auto fitHalf = static_cast<Index>(
        std::clamp((endOfSecond->position - endOfFirst->position) / 8.0, 0.0, 16.0));
    refineCrossing(x, *endOfFirst, fitHalf);
    refineCrossing(x, *endOfSecond, fitHalf);
    const double half = endOfSecond->position - endOfFirst->position;
    if (!(half >= 1.5)) {
        return std::nullopt;
    }
    const double onset = endOfFirst->position - half;

    // The change from noise to pulse, by the criterion, over a window from one and a half
    // periods before that start to the end of the detected half-cycle: a later, stronger wave
    // stays outside it. Weaker half-cycles of the pulse before the detected one show as a
    // change earlier than its start.
    const Index begin = std::max<Index>(0, static_cast<Index>(std::floor(onset - 3.0 * half)) - 8);
    const Index end = std::min(n, static_cast<Index>(std::ceil(endOfFirst->position)) + 1);
    const Index departure = aicOnset(x, begin, end);
    if (static_cast<double>(departure) < onset - 0.5 * half) {
        return std::nullopt; // something before the first half-cycle that stood out
    }
    if (onset < static_cast<double>(lead)) {
        return std::nullopt; // no noise before the pulse to tell it from
    }

    // The stretch before the onset must be noise: a pulse weaker than a later wave, missed by
    // the detection, would show there as a rise in variance.
    const auto window = std::clamp<Index>(static_cast<Index>(std::lround(2.0 * half)), 16, 256);
    const auto quietEnd = static_cast<Index>(std::floor(onset));
    if (laterVarianceRatio(x, quietEnd, lead / 2, window) > kQuietRatio) {
        return std::nullopt;
    }

    // The first period must stand out of the noise.
    const auto periodEnd = std::min(n, static_cast<Index>(std::ceil(onset + 2.0 * half)) + 1);
    double peak = 0;
    for (Index i = quietEnd; i < periodEnd; ++i) {
        peak = std::max(peak, std::abs(x[i]));
    }
    const double snr = peak / sigma;
    if (snr < kMinSnr) {
        return std::nullopt;
    }

    // Quality: how far the pulse stands out of the noise, and how well the two crossings that
    // place the onset are timed (onset = 2·first − second crossing).
    const auto crossingError = [&](const Crossing& crossing) {
        const double samplesInFit = static_cast<double>(2 * fitHalf + 1);
        return sigma * inflation / (crossing.slope * std::sqrt(samplesInFit));
    };
    const double firstError = crossingError(*endOfFirst);
    const double secondError = crossingError(*endOfSecond);
    const double timing = std::sqrt(4.0 * firstError * firstError + secondError * secondError);
    const double standing =
        std::clamp(std::log(snr / kMinSnr) / std::log(kFullSnr / kMinSnr), 0.0, 1.0);
    const double precision = 1.0 / (1.0 + timing * timing);

    OnsetSuggestion suggestion;
    suggestion.index = static_cast<std::int32_t>(std::lround(onset));
    suggestion.quality = standing * precision;
    return suggestion;
}

} // namespace crackdepth
