// The 80-byte record that heads every measuring point in the measurement files. It is kept
// byte for byte as read; the named accessors read and write its fields in place.
#pragma once

#include "core/common/bytes.h"

#include <array>
#include <cstdint>

namespace crackdepth {

class PointRecord {
public:
    static constexpr std::size_t kSize = 80;
    using Bytes = std::array<std::uint8_t, kSize>;

    // Byte offsets of the named fields.
    enum Offset : std::size_t {
        kSamplingInterval = 0,
        kDelaySamples = 4,
        kPrevHighPassCut = 8,
        kPrevLowPassCut = 12,
        kHighPassOn = 16,
        kLowPassOn = 20,
        kManualMark = 24,
        kStartPosition = 40,
        kEndPosition = 44,
        kArrivalTime = 48,
        kStoredKept = 52,
        kLowPassCut = 60,
        kLevelA = 64,
        kHighPassCut = 68,
        kLevelB = 72,
        kStoredGain = 76,
    };

    PointRecord() { bytes_.fill(0); }
    explicit PointRecord(const Bytes& bytes) : bytes_(bytes) {}

    const Bytes& bytes() const { return bytes_; }
    bool operator==(const PointRecord&) const = default;

    float samplingInterval() const { return floatAt(kSamplingInterval); }
    void setSamplingInterval(float v) { setFloat(kSamplingInterval, v); }
    std::int32_t delaySamples() const { return loadLE<std::int32_t>(&bytes_[kDelaySamples]); }
    void setDelaySamples(std::int32_t v) { storeLE(&bytes_[kDelaySamples], v); }
    float prevHighPassCut() const { return floatAt(kPrevHighPassCut); }
    void setPrevHighPassCut(float v) { setFloat(kPrevHighPassCut, v); }
    float prevLowPassCut() const { return floatAt(kPrevLowPassCut); }
    void setPrevLowPassCut(float v) { setFloat(kPrevLowPassCut, v); }
    float highPassOn() const { return floatAt(kHighPassOn); }
    void setHighPassOn(float v) { setFloat(kHighPassOn, v); }
    float lowPassOn() const { return floatAt(kLowPassOn); }
    void setLowPassOn(float v) { setFloat(kLowPassOn, v); }
    float manualMark() const { return floatAt(kManualMark); }
    void setManualMark(float v) { setFloat(kManualMark, v); }
    float startPosition() const { return floatAt(kStartPosition); }
    void setStartPosition(float v) { setFloat(kStartPosition, v); }
    float endPosition() const { return floatAt(kEndPosition); }
    void setEndPosition(float v) { setFloat(kEndPosition, v); }
    float arrivalTime() const { return floatAt(kArrivalTime); }
    void setArrivalTime(float v) { setFloat(kArrivalTime, v); }
    std::int32_t storedKept() const { return loadLE<std::int32_t>(&bytes_[kStoredKept]); }
    void setStoredKept(std::int32_t v) { storeLE(&bytes_[kStoredKept], v); }
    float lowPassCut() const { return floatAt(kLowPassCut); }
    void setLowPassCut(float v) { setFloat(kLowPassCut, v); }
    float highPassCut() const { return floatAt(kHighPassCut); }
    void setHighPassCut(float v) { setFloat(kHighPassCut, v); }
    float storedGain() const { return floatAt(kStoredGain); }
    void setStoredGain(float v) { setFloat(kStoredGain, v); }

    // The two sample levels are held 2048 above their stored value, like the samples, while
    // the bytes keep the stored value: writing a record back therefore reproduces the file
    // exactly, however often it is read and written.
    float levelA() const { return floatAt(kLevelA) + 2048.0f; }
    float levelB() const { return floatAt(kLevelB) + 2048.0f; }
    float storedLevelA() const { return floatAt(kLevelA); }
    float storedLevelB() const { return floatAt(kLevelB); }
    void setStoredLevelA(float v) { setFloat(kLevelA, v); }
    void setStoredLevelB(float v) { setFloat(kLevelB, v); }

private:
    float floatAt(std::size_t offset) const { return loadLE<float>(&bytes_[offset]); }
    void setFloat(std::size_t offset, float v) { storeLE(&bytes_[offset], v); }

    Bytes bytes_;
};

} // namespace crackdepth
