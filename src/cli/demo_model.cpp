#include "cli/demo_model.h"

#include "core/data/line_block.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace crackdepth::cli {

double DemoRandom::uniform() {
    // 27 + 26 bits from two draws, the usual 53-bit construction.
    const auto high = static_cast<double>(engine_() >> 5);
    const auto low = static_cast<double>(engine_() >> 6);
    return (high * 67108864.0 + low) / 9007199254740992.0;
}

double DemoRandom::uniform(double low, double high) {
    return low + (high - low) * uniform();
}

int DemoRandom::integer(int low, int high) {
    const double span = static_cast<double>(high - low + 1);
    return low + std::min(high - low, static_cast<int>(std::floor(uniform() * span)));
}

double DemoRandom::normal() {
    if (hasSpare_) {
        hasSpare_ = false;
        return spareNormal_;
    }
    const double u1 = 1.0 - uniform(); // (0, 1]: the logarithm stays finite
    const double u2 = uniform();
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double angle = 2.0 * std::numbers::pi * u2;
    spareNormal_ = radius * std::sin(angle);
    hasSpare_ = true;
    return radius * std::cos(angle);
}

double directTransitTime(double distance, double velocity, double zeroOffset) {
    return distance / velocity + zeroOffset;
}

double crackTransitTime(double distance, double depth, double velocity, double zeroOffset) {
    // The zero offset acts as an extra path of velocity·t0 between the transducers, the
    // path the straight-line fit of the non-crossing line adds back as −A.
    const double half = (distance + velocity * zeroOffset) / 2.0;
    return 2.0 * std::sqrt(half * half + depth * depth) / velocity;
}

namespace {

constexpr float kSamplingInterval = 0.5f;     // us
constexpr double kLatestUndelayedIndex = 150; // beyond it the instrument delays the window
constexpr double kFullScale = 1800;           // counts the gain is chosen to stay below
constexpr std::array<float, 4> kGains = {10.0f, 5.0f, 2.0f, 1.0f};
constexpr double kReferenceAmplitude = 1400; // counts at gain 1 over a 100 mm path
constexpr double kCrackTipLoss = 0.55;       // share of the energy diffracted round the tip

constexpr double kConverterNoise = 0.6;      // the converter's own noise, counts (sigma)
constexpr double kNoiseBoundSigmas = 2.5;    // no noise sample goes beyond this many sigmas
constexpr double kReceiverBandwidth = 150.0; // kHz: the receiver's band limits its noise

// What stays the same over the whole set.
struct SiteModel {
    double velocity = 0;
    double zeroOffset = 0;
    double frequency = 0;    // kHz
    double inputNoise = 0;   // the amplifier's input noise in counts at gain 1 (sigma)
    double decayPeriods = 0; // periods over which the burst dies away
    bool phaseReversal = true;
};

// The largest noise excursion of a record taken at `gain`, in whole counts: the amplifier's
// noise grows with the gain, the converter's does not.
double noiseBound(const SiteModel& site, double gain) {
    const double amplified = site.inputNoise * gain;
    const double sigma = std::sqrt(kConverterNoise * kConverterNoise + amplified * amplified);
    return std::ceil(kNoiseBoundSigmas * sigma);
}

// The noise of one record, in counts: the amplifier's input noise, coloured by the receiver's
// band and scaled by the gain, plus the converter's white noise; bounded by noiseBound.
std::vector<double> receiverNoise(std::size_t count, double gain, const SiteModel& site,
                                  DemoRandom& random) {
    // A first-order low-pass at the receiver's band edge, scaled to keep unit variance.
    const double a = std::exp(-2.0 * std::numbers::pi * kReceiverBandwidth / 1000.0 *
                              static_cast<double>(kSamplingInterval));
    const double drive = std::sqrt(1.0 - a * a);
    const double bound = noiseBound(site, gain);
    std::vector<double> noise(count);
    double coloured = random.normal();
    for (double& value : noise) {
        coloured = a * coloured + drive * random.normal();
        const double total = site.inputNoise * gain * coloured + kConverterNoise * random.normal();
        value = std::clamp(total, -bound, bound);
    }
    return noise;
}

// Rounded to `scale` steps per unit (10 for 0.1): the result is the double nearest to the
// decimal, so that it prints as that decimal.
double roundTo(double value, double scale) {
    return std::round(value * scale) / scale;
}

// Received amplitude at gain 1, in counts, for a path of `path` mm: spreading and
// absorption, the coupling of this placement of the transducers, and the loss at the tip.
double receivedAmplitude(double path, bool crossing, double coupling) {
    const double spreading = std::pow(100.0 / path, 0.8);
    const double absorption = std::exp(-0.0015 * (path - 100.0));
    return kReferenceAmplitude * spreading * absorption * coupling *
           (crossing ? kCrackTipLoss : 1.0);
}

// Burst envelope at `tau` us after the arrival: a quarter-period rise, then an exponential
// decay that leaves about 2 % after decayPeriods periods.
double envelope(double tau, double period, double decayPeriods) {
    const double rise = period / 4.0;
    if (tau <= 0) {
        return 0;
    }
    if (tau < rise) {
        return std::sin(std::numbers::pi / 2.0 * tau / rise);
    }
    return std::exp(-(tau - rise) / (decayPeriods * period / 4.0));
}

std::int32_t clampSample(double value) {
    return static_cast<std::int32_t>(std::clamp(std::lround(value), 0L, 4095L));
}

// The first arrival as the instrument picks it: the first sample that stands out of the
// record's noise. So the picked sample always carries the signal, as on site, and the pick
// lags the true onset by the fraction of a period the burst takes to clear the noise.
std::int32_t pickArrival(const std::vector<Sample>& samples, double bound, double onsetIndex) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(static_cast<int>(samples[i]) - static_cast<int>(kZeroLine)) > bound) {
            return static_cast<std::int32_t>(i);
        }
    }
    return static_cast<std::int32_t>(std::lround(onsetIndex)); // a burst lost in the noise
}

// One measuring point at transducer distance L whose first arrival comes at `transit` us
// over a path of `path` mm.
void appendPoint(PointList& points, double distance, double path, double transit, int polarity,
                 bool crossing, const SiteModel& site, DemoRandom& random) {
    const double dt = kSamplingInterval;

    // The window opens late enough for a long path to arrive early in it.
    std::int32_t delaySamples = 0;
    const double undelayedIndex = transit / dt;
    if (undelayedIndex > kLatestUndelayedIndex) {
        const double target = random.uniform(60.0, 110.0);
        delaySamples = static_cast<std::int32_t>(std::floor(undelayedIndex - target));
    }
    const float delay = static_cast<float>(delaySamples) * kSamplingInterval;

    // The largest gain that keeps the burst below full scale.
    const double coupling = random.uniform(0.85, 1.15);
    const double atUnitGain = receivedAmplitude(path, crossing, coupling);
    float gain = kGains.back();
    for (const float candidate : kGains) {
        if (static_cast<double>(candidate) * atUnitGain <= kFullScale) {
            gain = candidate;
            break;
        }
    }
    const double amplitude = std::min(static_cast<double>(gain) * atUnitGain, kFullScale);

    // Longer paths lose more of their high frequencies.
    const double lowering = 0.05 * std::clamp((path - 100.0) / 600.0, 0.0, 1.0);
    const double frequency = site.frequency * (1.0 - lowering); // kHz
    const double period = 1000.0 / frequency;                   // us

    std::vector<Sample> samples(kDemoSampleCount);
    const std::vector<double> noise = receiverNoise(samples.size(), gain, site, random);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double time = static_cast<double>(delay) + static_cast<double>(i) * dt;
        const double tau = time - transit;
        double signal = 0;
        if (tau > 0) {
            signal = polarity * amplitude * envelope(tau, period, site.decayPeriods) *
                     std::sin(2.0 * std::numbers::pi * tau / period);
        }
        samples[i] = static_cast<Sample>(clampSample(kZeroLine + signal + noise[i]));
    }

    points.Append(samples, static_cast<float>(distance));
    MeasuringPoint& point = *points.cursor();
    point.delay = delay;
    point.gain = gain;
    point.arrivalIndex =
        pickArrival(samples, noiseBound(site, gain), (transit - static_cast<double>(delay)) / dt);
    point.amplitudeIndex = point.arrivalIndex;
    point.kept = 1;
    point.record.setSamplingInterval(kSamplingInterval);
    point.record.setStartPosition(0.0f);
    point.record.setEndPosition(static_cast<float>(distance) / 1000.0f);
    point.record.setManualMark(0.0f);
}

TestParameters lineHeader(const std::string& fileName, bool crossing, std::int32_t pointCount,
                          float firstDistance) {
    TestParameters header;
    header.fileId = kFileId;
    header.signature = crossing ? kCrossingSignature : kNonCrossingSignature;
    header.projectName = "演示工程 主梁";
    header.organisation = "演示检测中心";
    header.operatorName = "检测员";
    header.testDate = "2024-5-20";
    header.pointCount = pointCount;
    header.countCopy = pointCount;
    header.sampleCount = kDemoSampleCount;
    header.originOffset = 0;
    // The instrument's line geometry is one setting for the whole test, so every line
    // carries the same slots; the program refuses to combine lines that differ.
    header.firstSpacing = 100;
    header.stepPartA = 50;
    header.stepPartB = 0;
    header.step = 50;
    // The reference point is the farthest one, which tops the distance axis of the plot.
    header.referenceDistance = firstDistance + 50.0f * static_cast<float>(pointCount - 1);
    header.referencePoint = pointCount;
    header.zeroCalibration = 0;
    header.lineFlag = 0;
    header.reversalIndex = 0;
    header.lineCount = 0;
    header.lineDate = {2024, 5, 20, {}};
    header.note = fileName;
    return header;
}

// Crack depths from three bands (shallow, medium, deep) in an order drawn from the seed,
// so that every set shows both kinds of crossing line.
std::array<double, kDemoCrackCount> crackDepths(DemoRandom& random) {
    constexpr std::array<std::pair<double, double>, kDemoCrackCount> bands = {
        {{60.0, 100.0}, {100.0, 150.0}, {150.0, 200.0}}};
    std::array<double, kDemoCrackCount> depths{};
    for (std::size_t k = 0; k < bands.size(); ++k) {
        depths[k] = roundTo(random.uniform(bands[k].first, bands[k].second), 10);
    }
    for (int k = kDemoCrackCount - 1; k > 0; --k) {
        const int other = random.integer(0, k);
        std::swap(depths[static_cast<std::size_t>(k)], depths[static_cast<std::size_t>(other)]);
    }
    return depths;
}

} // namespace

DemoSet makeDemoSet(std::uint32_t seed, const DemoModelOptions& options) {
    DemoRandom random(seed);
    SiteModel site;
    // Drawn one by one: the order of the draws is part of what a seed means.
    site.velocity = roundTo(random.uniform(4.0, 4.5), 1000);
    site.zeroOffset = roundTo(random.uniform(1.5, 3.0), 100);
    site.frequency = roundTo(random.uniform(42.0, 50.0), 10);
    site.inputNoise = random.uniform(0.24, 0.48);
    site.decayPeriods = random.uniform(4.0, 6.0);
    site.phaseReversal = options.phaseReversal;
    const int directCount = random.integer(6, 7);
    const auto depths = crackDepths(random);

    DemoSet set;
    set.seed = seed;
    set.velocity = site.velocity;
    set.zeroOffset = site.zeroOffset;
    set.frequency = site.frequency;
    set.noiseAmplitude = noiseBound(site, static_cast<double>(kGains.front()));
    set.samplingInterval = kSamplingInterval;

    DemoLine direct;
    direct.fileName = "DEMO.DP0";
    for (int k = 0; k < directCount; ++k) {
        const double distance = 100.0 + 50.0 * k;
        const double transit = directTransitTime(distance, site.velocity, site.zeroOffset);
        appendPoint(direct.points, distance, distance, transit, 1, false, site, random);
    }
    direct.header = lineHeader(direct.fileName, false, directCount, 100.0f);
    set.lines.push_back(std::move(direct));

    for (std::size_t c = 0; c < depths.size(); ++c) {
        DemoLine line;
        line.fileName = "DEMO_C" + std::to_string(c + 1) + ".DP1";
        line.crossing = true;
        line.trueDepth = depths[c];
        const double reach = random.uniform(2.5, 3.0) * line.trueDepth;
        const int count = std::max(6, static_cast<int>(std::lround(reach / 50.0)));
        for (int k = 0; k < count; ++k) {
            const double distance = 50.0 + 50.0 * k;
            const double half = distance / 2.0;
            const double path = 2.0 * std::sqrt(half * half + line.trueDepth * line.trueDepth);
            const double transit =
                crackTransitTime(distance, line.trueDepth, site.velocity, site.zeroOffset);
            const bool reversed = site.phaseReversal && distance > 2.0 * line.trueDepth;
            appendPoint(line.points, distance, path, transit, reversed ? -1 : 1, true, site,
                        random);
        }
        line.header = lineHeader(line.fileName, true, count, 50.0f);
        set.lines.push_back(std::move(line));
    }
    return set;
}

std::vector<std::uint8_t> encodeDemoLine(const DemoLine& line) {
    std::vector<std::uint8_t> bytes;
    WriteLineBlock(bytes, line.header, line.points);
    return bytes;
}

ProjectInfo demoProjectInfo() {
    ProjectInfo info;
    info.texts[kConstructionOrganisation] = "演示建设工程公司";
    info.texts[kClient] = "演示市政设施管理处";
    info.texts[kTestAge] = "28天";
    info.texts[kDesignStrength] = "C40";
    info.texts[kTestStandard] = "CECS21-2000";
    info.texts[kReportDate] = "2024-5-24";
    info.texts[kCommissionNumber] = "WT-2024-001";
    info.texts[kInstrumentNumber] = "YQ-0001";
    info.texts[kCastingDate] = "2024-4-15";
    info.texts[kTestNumber] = "JC-2024-001";
    info.texts[kComponentName] = "DEMO";
    info.texts[kInstrumentModel] = "超声波检测仪";
    return info;
}

} // namespace crackdepth::cli
