#include "core/document/checks/waveform_facts_cache.h"

#include "core/analysis/onset_picker.h"

#include <cstring>

namespace crackdepth {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;

std::uint64_t rotated(std::uint64_t v, int bits) {
    return (v << bits) | (v >> (64 - bits));
}

std::uint64_t mixed(std::uint64_t h, std::uint64_t word) {
    return rotated(h ^ (word * kPrime2), 31) * kPrime1;
}

} // namespace

std::uint64_t samplesDigest(std::span<const Sample> samples) {
    // Four lanes over stripes of four words, which the processor mixes side by side, then
    // the words left over in the first lane and the samples left over one by one.
    constexpr std::size_t kPerWord = sizeof(std::uint64_t) / sizeof(Sample);
    constexpr std::size_t kLanes = 4;
    std::uint64_t lanes[kLanes] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    const std::size_t words = samples.size() / kPerWord;
    const std::size_t stripes = words / kLanes;
    for (std::size_t s = 0; s < stripes; ++s) {
        std::uint64_t stripe[kLanes];
        std::memcpy(stripe, samples.data() + s * kLanes * kPerWord, sizeof stripe);
        for (std::size_t l = 0; l < kLanes; ++l) {
            lanes[l] = mixed(lanes[l], stripe[l]);
        }
    }
    std::uint64_t h = samples.size();
    for (std::size_t l = 0; l < kLanes; ++l) {
        h = mixed(h, lanes[l]);
    }
    for (std::size_t w = stripes * kLanes; w < words; ++w) {
        std::uint64_t word = 0;
        std::memcpy(&word, samples.data() + w * kPerWord, sizeof word);
        h = mixed(h, word);
    }
    for (std::size_t i = words * kPerWord; i < samples.size(); ++i) {
        h = mixed(h, samples[i]);
    }
    // The last words reach every bit of the digest.
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    return h;
}

WaveformFactsTable WaveformFactsCache::factsOf(const DocumentData& data, std::size_t lines) {
    WaveformFactsTable facts(lines);
    known_.resize(lines);
    for (std::size_t l = 0; l < lines; ++l) {
        const PointList* line = checkedLine(data, static_cast<std::int32_t>(l));
        const std::size_t points = line != nullptr ? line->size() : 0;
        known_[l].resize(points);
        for (std::size_t i = 0; i < points; ++i) {
            const MeasuringPoint& point = (*line)[i];
            if (point.samples.empty()) {
                facts[l].push_back(std::nullopt);
                continue;
            }
            const std::uint64_t digest = samplesDigest(point.samples);
            std::optional<Known>& known = known_[l][i];
            if (!known || known->digest != digest || known->size != point.samples.size()) {
                known = Known{digest, point.samples.size(), SuggestOnset(point.samples)};
            }
            facts[l].push_back(WaveformFacts{
                known->suggestion, clippedNearArrival(point.samples, point.arrivalIndex)});
        }
    }
    return facts;
}

} // namespace crackdepth
