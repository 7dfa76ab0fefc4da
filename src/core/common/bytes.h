// Little-endian loads and stores of the fixed-size values that every file format of the
// program is built from, plus a growing byte buffer for writers.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace crackdepth {

static_assert(std::endian::native == std::endian::little,
              "the file formats are little-endian and are mapped directly on this host");

template <typename T> T loadLE(const std::uint8_t* p) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

template <typename T> void storeLE(std::uint8_t* p, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(p, &value, sizeof(T));
}

// Appends values to a byte vector; writers build a whole file in memory and hand it to
// writeFileAtomically.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    template <typename T> void put(T value) {
        const std::size_t at = out_.size();
        out_.resize(at + sizeof(T));
        storeLE(out_.data() + at, value);
    }
    void putBytes(std::span<const std::uint8_t> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
    }
    void putZeros(std::size_t count) { out_.resize(out_.size() + count, 0); }
    std::size_t size() const { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

// Reads values from a byte span in order; every read checks the span's end so that no
// input can run a reader past its buffer.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool has(std::size_t count) const { return bytes_.size() - pos_ >= count; }
    template <typename T> bool get(T& value) {
        if (!has(sizeof(T))) {
            return false;
        }
        value = loadLE<T>(bytes_.data() + pos_);
        pos_ += sizeof(T);
        return true;
    }
    bool getBytes(std::size_t count, std::span<const std::uint8_t>& out) {
        if (!has(count)) {
            return false;
        }
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }
    std::size_t position() const { return pos_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace crackdepth
