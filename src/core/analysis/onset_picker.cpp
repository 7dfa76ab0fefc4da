#include "core/analysis/onset_picker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <utility>

namespace crackdepth {
namespace {

using Index = std::ptrdiff_t;

constexpr Index kMinSamples = 64;
constexpr Sample kTopRail = 4095;
constexpr double kFloorVariance = 0.25; // a record is never quieter than the converter
constexpr double kQuantisationVariance = 1.0 / 12.0;
constexpr double kDetectSigmas = 4.5; // the record clearly leaves its noise
constexpr double kLobeSigmas = 2.5;   // a half-cycle of the pulse stands out of the noise
constexpr double kQuietSigmas = 4.0;  // loudness allowed before the onset, in its own spread
constexpr double kLateGain = 3.0;     // a later wave is at most this much stronger than the first
constexpr double kMinSnr = 8.0;       // peak of the first period over the noise RMS
constexpr double kFullSnr = 28.0;     // from here on the ratio adds no quality
// The third half-cycle's length over the second's, for a pulse that rings on.
constexpr std::pair<double, double> kRingingAgreement{0.7, 1.4};
// The first half-cycle's peak at least this share of the second's.
constexpr double kFirstLobeShare = 0.45;
// Before a pulse, a stretch louder than kQuietSigmas is still noise when its rise is at most
// this share of the rise the weakest first arrival a later wave could hide would show.
constexpr double kNoiseShare = 0.2;
// A stretch louder than kLoudStretch (in its spread) whose rise is this share of that weakest
// first arrival's may be one.
constexpr double kLoudStretch = 1.5;
constexpr double kHiddenShare = 0.4;

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

struct Noise {
    double zero = 0;     // the zero line
    double variance = 0; // about it
    double rho = 0;      // correlation of neighbouring samples
};

// The noise of the stretch [0, end) of the record.
Noise measureNoise(std::span<const Sample> samples, Index end) {
    double sum = 0;
    for (Index i = 0; i < end; ++i) {
        sum += samples[static_cast<std::size_t>(i)];
    }
    Noise noise;
    noise.zero = sum / static_cast<double>(end);
    const Trace x{samples, noise.zero};
    double squares = 0;
    double lagged = 0;
    for (Index i = 0; i < end; ++i) {
        squares += x[i] * x[i];
        if (i > 0) {
            lagged += x[i] * x[i - 1];
        }
    }
    noise.variance = std::max(squares / static_cast<double>(end), kFloorVariance);
    // Taking the mean out of a short stretch makes its neighbours look less alike than they are.
    const double lag = lagged / std::max(squares, kFloorVariance);
    noise.rho =
        std::clamp(lag + (1.0 + 3.0 * std::max(lag, 0.0)) / static_cast<double>(end), 0.0, 0.95);
    return noise;
}

struct Detection {
    Index from = 0;  // the first sample beyond the detection level
    double sign = 1; // the polarity of its half-cycle
    Crossing endOfFirst;
    Crossing endOfSecond;
};

// Where the record first clearly leaves its noise after `start`: a half-cycle beyond the
// detection level followed by one of the other polarity beyond it too, which a burst of noise
// seldom is.
std::optional<Detection> detect(const Trace& x, Index start, double sigma) {
    const Index n = x.size();
    const double strong = kDetectSigmas * sigma;
    const double level = kLobeSigmas * sigma;
    Detection found;
    found.from = start;
    for (;;) {
        Index& from = found.from;
        while (from < n && std::abs(x[from]) <= strong) {
            ++from;
        }
        if (from >= n) {
            return std::nullopt;
        }
        found.sign = x[from] > 0 ? 1.0 : -1.0;
        const auto endOfFirst = crossingAfter(x, from, found.sign, level);
        if (!endOfFirst) {
            return std::nullopt;
        }
        const auto endOfSecond = crossingAfter(x, endOfFirst->next, -found.sign, level);
        if (!endOfSecond) {
            return std::nullopt;
        }
        // The detected sample must lie within the half-cycle that ends at the crossing.
        const double halfCycle = endOfSecond->position - endOfFirst->position;
        double opposite = 0;
        for (Index i = endOfFirst->next; i < static_cast<Index>(endOfSecond->position); ++i) {
            opposite = std::max(opposite, -found.sign * x[i]);
        }
        if (opposite > strong && endOfFirst->position - static_cast<double>(from) < halfCycle) {
            found.endOfFirst = *endOfFirst;
            found.endOfSecond = *endOfSecond;
            return found;
        }
        while (from < n && std::abs(x[from]) > strong) {
            ++from;
        }
    }
}

// The largest mean square about the zero line over `width` samples within [begin, end),
// or over the whole stretch when it is shorter.
double loudestStretch(const Trace& x, Index begin, Index end, Index width) {
    width = std::min(width, end - begin);
    if (width <= 0) {
        return 0;
    }
    double windowSum = 0;
    for (Index i = begin; i < begin + width; ++i) {
        windowSum += x[i] * x[i];
    }
    double loudest = windowSum;
    for (Index i = begin + width; i < end; ++i) {
        windowSum += x[i] * x[i] - x[i - width] * x[i - width];
        loudest = std::max(loudest, windowSum);
    }
    return loudest / static_cast<double>(width);
}

// Independent samples' worth of squared noise in `count` samples whose neighbours correlate
// by `rho`.
double effectiveCount(double count, double rho) {
    const double r2 = rho * rho;
    return std::max(1.0, count * (1.0 - r2) / (1.0 + r2));
}

// What the stages learn about a record, in the order they learn it.
struct Picking {
    std::span<const Sample> samples;
    Index lead = 0; // the record's first samples, taken for noise
    Noise noise;
    Trace x;             // the record less the zero line of `noise`
    Index reference = 0; // the pulse is judged against the noise of [0, reference)
    Detection found;
    // The crossings that end the first two half-cycles, placed again by fitted lines over
    // `fitHalf` samples either side.
    Crossing endOfFirst;
    Crossing endOfSecond;
    Index fitHalf = 0;
    double half = 0;  // the pulse's half-period, in samples
    double onset = 0; // where its first half-cycle begins
    double snr = 0;   // the first period's peak over the noise RMS

    Index size() const { return static_cast<Index>(samples.size()); }
    double sigma() const { return std::sqrt(noise.variance); }
};

using Verdict = std::optional<NoOnsetReason>; // none: the stage passed

// Long enough, and not clipped over much of its length.
Verdict checkRecord(const Picking& p) {
    const Index n = p.size();
    if (n < kMinSamples) {
        return NoOnsetReason::TooShort;
    }
    const auto railed = std::count_if(p.samples.begin(), p.samples.end(),
                                      [](Sample s) { return s == 0 || s >= kTopRail; });
    if (railed * 4 > n) {
        return NoOnsetReason::Clipped;
    }
    return std::nullopt;
}

// The record's start is noise: it gives a first zero line and noise level.
Verdict measureLeadNoise(Picking& p) {
    p.lead = std::clamp<Index>(p.size() / 16, 32, 64);
    for (Index i = 0; i < p.lead; ++i) {
        const Sample value = p.samples[static_cast<std::size_t>(i)];
        if (value == 0 || value >= kTopRail) {
            return NoOnsetReason::ClippedStart;
        }
    }
    p.noise = measureNoise(p.samples, p.lead);
    p.x = Trace{p.samples, p.noise.zero};
    double firstHalf = 0;
    double secondHalf = 0;
    for (Index i = 0; i < p.lead; ++i) {
        (i < p.lead / 2 ? firstHalf : secondHalf) += p.x[i] * p.x[i];
    }
    const double halfCount = static_cast<double>(p.lead / 2);
    const double quieter = std::max(std::min(firstHalf, secondHalf) / halfCount, kFloorVariance);
    const double louder = std::max(firstHalf, secondHalf) / halfCount;
    if (louder > 9.0 * quieter) {
        return NoOnsetReason::PulseAtStart;
    }
    return std::nullopt;
}

// Where the record leaves its noise as a pulse does.
Verdict detectPulse(Picking& p) {
    auto found = detect(p.x, p.lead, p.sigma());
    if (!found) {
        return NoOnsetReason::NoPulse;
    }
    // A few samples at the record's start tell the noise poorly when neighbouring samples
    // correlate: the record up to four periods before the detected pulse is noise too, even
    // if the pulse's first arrival was missed, as a later wave comes within four periods of it.
    const double halfCycle = found->endOfSecond.position - found->endOfFirst.position;
    p.reference = std::min(
        static_cast<Index>(std::floor(found->endOfFirst.position - 9.0 * halfCycle)), found->from);
    if (p.reference > p.lead) {
        p.noise = measureNoise(p.samples, p.reference);
        p.x = Trace{p.samples, p.noise.zero};
        found = detect(p.x, p.lead, p.sigma());
        if (!found) {
            return NoOnsetReason::NoPulse;
        }
        if (found->from < p.reference) {
            return NoOnsetReason::BurstInNoise;
        }
    } else {
        p.reference = p.lead;
    }
    p.found = *found;
    return std::nullopt;
}

// The detected half-cycle ends at the first crossing; the next one lasts as long as it, so
// it began a half-period before that crossing.
Verdict placeOnset(Picking& p) {
    p.endOfFirst = p.found.endOfFirst;
    p.endOfSecond = p.found.endOfSecond;
    p.fitHalf = static_cast<Index>(
        std::clamp((p.endOfSecond.position - p.endOfFirst.position) / 8.0, 0.0, 16.0));
    refineCrossing(p.x, p.endOfFirst, p.fitHalf);
    refineCrossing(p.x, p.endOfSecond, p.fitHalf);
    p.half = p.endOfSecond.position - p.endOfFirst.position;
    if (!(p.half >= 1.5)) {
        return NoOnsetReason::HalfCycleTooShort;
    }
    p.onset = p.endOfFirst.position - p.half;

    // The change from noise to pulse, by the criterion, over a window from one and a half
    // periods before that start to the end of the detected half-cycle: a later, stronger wave
    // stays outside it. Weaker half-cycles of the pulse before the detected one show as a
    // change earlier than its start.
    const Index begin =
        std::max<Index>(0, static_cast<Index>(std::floor(p.onset - 3.0 * p.half)) - 8);
    const Index end = std::min(p.size(), static_cast<Index>(std::ceil(p.endOfFirst.position)) + 1);
    const Index departure = aicOnset(p.x, begin, end);
    if (static_cast<double>(departure) < p.onset - 0.5 * p.half) {
        return NoOnsetReason::EarlierChange;
    }
    if (p.onset < static_cast<double>(p.lead)) {
        return NoOnsetReason::NoNoiseBefore;
    }
    return std::nullopt;
}

// The first period stands out of the noise, and the pulse rings on as a transducer's does.
Verdict confirmPulse(Picking& p) {
    const Trace& x = p.x;
    const auto periodEnd =
        std::min(p.size(), static_cast<Index>(std::ceil(p.onset + 2.0 * p.half)) + 1);
    double peak = 0;
    for (Index i = static_cast<Index>(std::floor(p.onset)); i < periodEnd; ++i) {
        peak = std::max(peak, std::abs(x[i]));
    }
    p.snr = peak / p.sigma();
    if (p.snr < kMinSnr) {
        return NoOnsetReason::Weak;
    }

    // A pulse rings on: the half-cycle after the two detected ones lasts about as long as the
    // one before it, and the first half-cycle is not much weaker than the second. Slow wander
    // of the noise that happens to cross the detection level seldom looks like that. A record
    // that ends within the third half-cycle cannot show it.
    const auto third =
        crossingAfter(x, p.found.endOfSecond.next, p.found.sign, kLobeSigmas * p.sigma());
    if (third) {
        const double thirdHalf = third->position - p.endOfSecond.position;
        if (thirdHalf < kRingingAgreement.first * p.half ||
            thirdHalf > kRingingAgreement.second * p.half) {
            return NoOnsetReason::NoRinging;
        }
    } else if (p.endOfSecond.position + 2.0 * p.half < static_cast<double>(p.size())) {
        return NoOnsetReason::NoRinging;
    }
    double firstLobe = 0;
    for (Index i = static_cast<Index>(p.onset); i < static_cast<Index>(p.endOfFirst.position);
         ++i) {
        firstLobe = std::max(firstLobe, p.found.sign * x[i]);
    }
    double secondLobe = 0;
    for (Index i = static_cast<Index>(p.endOfFirst.position);
         i < static_cast<Index>(p.endOfSecond.position); ++i) {
        secondLobe = std::max(secondLobe, -p.found.sign * x[i]);
    }
    if (firstLobe < kFirstLobeShare * secondLobe) {
        return NoOnsetReason::WeakFirstHalfCycle;
    }
    return std::nullopt;
}

// The stretch between the noise taken for reference and the onset must be noise too: a
// first arrival weaker than a later wave, missed by the detection, would show there as a
// period or two louder than the noise. How much louder noise alone gets depends on how many
// independent samples a window and the reference hold.
Verdict confirmQuietBefore(const Picking& p) {
    const double rho = p.noise.rho;
    const auto quietEnd = static_cast<Index>(std::floor(p.onset));
    const auto checkedEnd =
        std::max(p.reference, quietEnd - std::max<Index>(1, static_cast<Index>(p.half / 8.0)));
    const auto period = std::max<Index>(4, static_cast<Index>(std::lround(2.0 * p.half)));
    const double inReference = effectiveCount(static_cast<double>(p.reference), rho);
    // The weakest first arrival the detected wave could have hidden, a later wave's gain below
    // it, would raise a period's mean square by about half its squared peak.
    const double weakestRise = 0.5 * (p.snr / kLateGain) * (p.snr / kLateGain);
    double loudness = 0;
    double sensitivity = 0; // how loud that weakest first arrival would show
    const Index checked = checkedEnd - p.reference;
    for (const Index width : {period, 2 * period}) {
        if (checked <= 0) {
            break;
        }
        const double inWindow = effectiveCount(static_cast<double>(std::min(width, checked)), rho);
        const double spread = std::sqrt(2.0 / inWindow + 2.0 / inReference);
        const double rise =
            loudestStretch(p.x, p.reference, checkedEnd, width) / p.noise.variance - 1.0;
        loudness = std::max(loudness, rise / spread);
        sensitivity = std::max(sensitivity, weakestRise / spread);
    }
    // A pulse strong enough that a first arrival a later wave's gain weaker would still have
    // been detected has none missed before it. A weaker one must pass the check, and the check
    // must be able to fail: a stretch too short, or a noise reference too poor, to show the
    // weakest first arrival it could hide leaves the pulse unconfirmed. A loud stretch that is
    // still a small share of what that first arrival would show is the pulse's own rise or the
    // noise's, measured on a poor reference.
    const bool loudBefore = loudness > kQuietSigmas && loudness > kNoiseShare * sensitivity;
    if (p.snr < kLateGain * kDetectSigmas) {
        if (loudBefore) {
            return NoOnsetReason::LoudBeforeOnset;
        }
        if (sensitivity < kQuietSigmas) {
            return NoOnsetReason::Unconfirmed;
        }
    }
    // Noise may hide a first arrival from the detection even when the later wave is strong, and
    // a poor noise reference leaves the check's own scale uncertain: a stretch that rises to a
    // good part of what the weakest first arrival would show leaves any pulse unconfirmed.
    if (loudness > kLoudStretch && loudness > kHiddenShare * sensitivity) {
        return NoOnsetReason::LoudBeforeOnset;
    }
    return std::nullopt;
}

// Quality: how far the pulse stands out of the noise, and how well the two crossings that
// place the onset are timed (onset = 2·first − second crossing).
OnsetSuggestion rate(const Picking& p) {
    const double sigma = p.sigma();
    const double inflation = std::sqrt((1.0 + p.noise.rho) / (1.0 - p.noise.rho));
    const auto crossingError = [&](const Crossing& crossing) {
        const double samplesInFit = static_cast<double>(2 * p.fitHalf + 1);
        return sigma * inflation / (crossing.slope * std::sqrt(samplesInFit));
    };
    const double firstError = crossingError(p.endOfFirst);
    const double secondError = crossingError(p.endOfSecond);
    const double timing = std::sqrt(4.0 * firstError * firstError + secondError * secondError);
    const double standing =
        std::clamp(std::log(p.snr / kMinSnr) / std::log(kFullSnr / kMinSnr), 0.0, 1.0);
    const double precision = 1.0 / (1.0 + timing * timing);

    OnsetSuggestion suggestion;
    suggestion.index = static_cast<std::int32_t>(std::lround(p.onset));
    suggestion.quality = standing * precision;
    return suggestion;
}

} // namespace

OnsetFinding FindOnset(std::span<const Sample> samples) {
    Picking picking;
    picking.samples = samples;
    for (const auto stage :
         {+[](Picking& p) { return checkRecord(p); }, &measureLeadNoise, &detectPulse, &placeOnset,
          &confirmPulse, +[](Picking& p) { return confirmQuietBefore(p); }}) {
        if (const Verdict reason = stage(picking)) {
            return {std::nullopt, *reason};
        }
    }
    return {rate(picking), {}};
}

std::optional<OnsetSuggestion> SuggestOnset(std::span<const Sample> samples) {
    return FindOnset(samples).suggestion;
}

} // namespace crackdepth
