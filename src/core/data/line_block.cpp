#include "core/data/line_block.h"

#include "core/common/bytes.h"
#include "core/common/conversions.h"
#include "core/data/memory_budget.h"
#include "core/data/text_field.h"

#include <array>
#include <cstring>
#include <new>

namespace crackdepth {
namespace {

// Header offsets.
constexpr std::size_t kPointCountAt = 0x100;
constexpr std::size_t kNoteAt = 0x154;
constexpr std::size_t kNoteWidth = 40;
constexpr std::size_t kNoteReadWidth = 80; // the note is read on into the zero area
constexpr std::size_t kZeroAreaSize = 92;
constexpr std::size_t kRecordPadding = 48;
constexpr std::size_t kSamplesInRecord = 128;

struct TextSlot {
    std::size_t width;
    std::string TestParameters::*field;
};
// The eight texts at the start of the header, in file order.
constexpr std::array<TextSlot, 8> kHeaderTexts{{
    {8, &TestParameters::fileId},
    {8, &TestParameters::instrumentId},
    {16, &TestParameters::signature},
    {24, &TestParameters::projectName},
    {24, &TestParameters::organisation},
    {16, &TestParameters::operatorName},
    {16, &TestParameters::testDate},
    {16, &TestParameters::spareText},
}};

// Geometry slots are metres in the file and whole millimetres in memory.
float millimetresFromFile(float metres) {
    return static_cast<float>(truncToInt32((static_cast<double>(metres) + 0.00001) * 1000.0));
}
float originFromFile(float metres) {
    return static_cast<float>(truncToInt32((0.0001 - static_cast<double>(metres)) * 1000.0));
}

Sample sampleFromFile(float value) {
    const auto whole = static_cast<std::uint32_t>(truncToInt32(value));
    return static_cast<Sample>(whole + kZeroLine); // kept as 16 bits
}

float distanceFromPositions(float start, float end) {
    const float d = end - start;
    const double scaled = static_cast<double>(d) * 1000.0;
    return static_cast<float>(truncToInt32(d > 1e-6f ? scaled + 0.5 : scaled - 0.5));
}

void parseHeader(const std::uint8_t* bytes, TestParameters& header) {
    const std::span<const std::uint8_t> all(bytes, kHeaderSize);
    std::size_t at = 0;
    for (const auto& text : kHeaderTexts) {
        header.*text.field = readTextField(all.subspan(at, text.width * 2), text.width);
        at += text.width * 2;
    }
    header.instrumentId.clear(); // never read back
    header.spareText.clear();

    ByteReader in(all.subspan(kPointCountAt));
    float slot = 0;
    in.get(header.pointCount);
    in.get(header.sampleCount);
    in.get(header.reservedIntegers[0]);
    in.get(header.reservedIntegers[1]);
    in.get(slot);
    header.originOffset = originFromFile(slot);
    in.get(slot);
    header.firstSpacing = millimetresFromFile(slot);
    in.get(slot);
    header.stepPartA = millimetresFromFile(slot);
    in.get(slot);
    header.stepPartB = millimetresFromFile(slot);
    in.get(slot);
    header.referenceDistance = millimetresFromFile(slot);
    in.get(header.referencePoint);
    in.get(header.reservedSlot6);
    in.get(header.zeroCalibration);
    in.get(header.reservedSlot8);
    in.get(header.reservedSlot9);
    in.get(header.countCopy);
    in.get(header.step);
    in.get(header.lineFlag);
    in.get(header.reversalIndex);
    in.get(header.lineCount);
    in.get(header.lineDate.year);
    in.get(header.lineDate.month);
    in.get(header.lineDate.day);
    in.get(header.lineDate.spare[0]);
    in.get(header.lineDate.spare[1]);
    header.note =
        readTextField(all.subspan(kNoteAt, kNoteReadWidth * 2), kNoteReadWidth, kNoteWidth);

    header.countCopy = header.pointCount;
    header.step = header.stepPartA + header.stepPartB;
}

void serializeHeader(ByteWriter& out, const TestParameters& header, std::int32_t pointCount) {
    for (const auto& text : kHeaderTexts) {
        const std::string* value = &(header.*text.field);
        if (text.field == &TestParameters::fileId) {
            static const std::string fileId = kFileId;
            value = &fileId;
        } else if (text.field == &TestParameters::instrumentId) {
            static const std::string instrumentId = kInstrumentId;
            value = &instrumentId;
        }
        writeTextField(out, *value, text.width);
    }
    out.put(pointCount);
    out.put(header.sampleCount);
    out.put(header.reservedIntegers[0]);
    out.put(header.reservedIntegers[1]);
    out.put(header.originOffset / -1000.0f);
    out.put(header.firstSpacing / 1000.0f);
    out.put(header.stepPartA / 1000.0f);
    out.put(header.stepPartB / 1000.0f);
    out.put(header.referenceDistance / 1000.0f);
    out.put(header.referencePoint);
    out.put(header.reservedSlot6);
    out.put(header.zeroCalibration);
    out.put(header.reservedSlot8);
    out.put(header.reservedSlot9);
    out.put(header.countCopy);
    out.put(header.step);
    out.put(header.lineFlag);
    out.put(header.reversalIndex);
    out.put(header.lineCount);
    out.put(header.lineDate.year);
    out.put(header.lineDate.month);
    out.put(header.lineDate.day);
    out.put(header.lineDate.spare[0]);
    out.put(header.lineDate.spare[1]);
    writeTextField(out, header.note, kNoteWidth);
    out.putZeros(kZeroAreaSize);
}

// The stored forms of the live fields are recomputed into a copy of the record.
PointRecord recordForWriting(const MeasuringPoint& point) {
    PointRecord record = point.record;
    const float dt = record.samplingInterval();
    const std::int32_t delaySamples =
        truncToInt32(static_cast<double>(point.delay) / static_cast<double>(dt));
    record.setDelaySamples(delaySamples);
    const auto sum = static_cast<std::int64_t>(delaySamples) + point.arrivalIndex;
    record.setArrivalTime(dt * static_cast<float>(sum));
    record.setStoredKept(point.kept);
    record.setStoredGain(point.gain);
    return record;
}

} // namespace

std::uint64_t blockSize(const TestParameters& header) {
    return kHeaderSize +
           static_cast<std::uint64_t>(header.pointCount) * recordSize(header.sampleCount);
}

std::string readFailedReason(std::uint64_t offset) {
    return "第 " + std::to_string(offset) + " 字节处读取失败";
}

std::string tooLargeReason() {
    return "文件所需内存超过此处允许的 " + std::to_string(memoryBudget() >> 20) + " MiB";
}

std::string lengthMismatchReason(std::uint64_t fileSize, std::uint64_t expected) {
    return "文件长度与文件头不符：文件长 " + std::to_string(fileSize) + " 字节，文件头" +
           (expected > fileSize ? "要求至少 " : "所示长度为 ") + std::to_string(expected) + " 字节";
}

BlockResult ReadBlockHeader(ByteSource& source, std::uint64_t offset, TestParameters& header) {
    if (offset > source.size() || source.size() - offset < kHeaderSize) {
        return {BlockStatus::Unrecognised,
                lengthMismatchReason(source.size(), offset + kHeaderSize)};
    }
    std::array<std::uint8_t, kHeaderSize> bytes{};
    if (!source.read(offset, bytes)) {
        return {BlockStatus::ReadError, readFailedReason(offset)};
    }
    if (readTextField(std::span(bytes).first(16), 8) != kFileId) {
        return {BlockStatus::Unrecognised, std::string("文件标识不是“") + kFileId + "”"};
    }
    TestParameters parsed;
    parseHeader(bytes.data(), parsed);
    if (parsed.pointCount < 0 || parsed.pointCount > kMaxPointCount) {
        return {BlockStatus::Unrecognised, "测点数 " + std::to_string(parsed.pointCount) +
                                               " 超出范围 0…" + std::to_string(kMaxPointCount)};
    }
    if (parsed.sampleCount < 1 || parsed.sampleCount > kMaxSampleCount) {
        return {BlockStatus::Unrecognised, "采样点数 " + std::to_string(parsed.sampleCount) +
                                               " 超出范围 1…" + std::to_string(kMaxSampleCount)};
    }
    if (blockSize(parsed) > source.size() - offset) {
        return {BlockStatus::Unrecognised,
                lengthMismatchReason(source.size(), offset + blockSize(parsed))};
    }
    header = std::move(parsed);
    return BlockStatus::Ok;
}

BlockResult ReadBlockPoints(ByteSource& source, std::uint64_t& offset, const TestParameters& header,
                            PointList& list, SampleDetail detail) {
    if (header.pointCount < 0 || header.pointCount > kMaxPointCount || header.sampleCount < 1 ||
        header.sampleCount > kMaxSampleCount || offset > source.size() ||
        blockSize(header) > source.size() - offset) {
        return {BlockStatus::Unrecognised,
                lengthMismatchReason(source.size(), offset + blockSize(header))};
    }
    list.Free();
    list.sampleCount = header.sampleCount;
    const bool whole = detail == SampleDetail::All;
    const auto samplesPerPoint = static_cast<std::size_t>(header.sampleCount);
    const std::uint64_t size = recordSize(header.sampleCount);
    // The buffers only for a block that has points: an empty line may state any sample count
    // up to 1,048,576 (6 MiB of buffers) without holding a single record.
    const bool any = header.pointCount > 0;
    std::vector<std::uint8_t> record(any ? static_cast<std::size_t>(whole ? size : kSamplesInRecord)
                                         : 0);
    std::vector<Sample> samples(any && whole ? samplesPerPoint : 0);
    for (std::int32_t k = 0; k < header.pointCount; ++k) {
        const std::uint64_t at = offset + kHeaderSize + static_cast<std::uint64_t>(k) * size;
        if (!source.read(at, record)) {
            list.Free();
            return {BlockStatus::ReadError, readFailedReason(at)};
        }
        PointRecord::Bytes head{};
        std::memcpy(head.data(), record.data(), PointRecord::kSize);
        const PointRecord stored(head);
        const float distance = distanceFromPositions(stored.startPosition(), stored.endPosition());
        if (whole) {
            const std::uint8_t* floats = record.data() + kSamplesInRecord;
            for (std::size_t c = 0; c < samplesPerPoint; ++c) {
                samples[c] = sampleFromFile(loadLE<float>(floats + 4 * c));
            }
        }
        if (!(whole ? list.Append(samples, distance) : list.AppendWithoutWaveforms(distance))) {
            list.Free();
            return BlockStatus::Unrecognised; // the counts were checked above: not reached
        }
        MeasuringPoint& point = *list.cursor();
        const float dt = stored.samplingInterval();
        point.delay = static_cast<float>(stored.delaySamples()) * dt;
        point.gain = stored.storedGain();
        point.kept = stored.storedKept() == 0 || stored.storedKept() == 1 ? stored.storedKept() : 0;
        point.arrivalIndex =
            truncToInt32(stored.arrivalTime() / dt - static_cast<float>(stored.delaySamples()));
        point.amplitudeIndex = point.arrivalIndex;
        point.timeShift = 0;
        point.record = stored;
        if (!whole && point.amplitudeIndex >= 0 && point.amplitudeIndex < header.sampleCount) {
            // The one sample the amplitude reads.
            std::array<std::uint8_t, 4> bytes{};
            const std::uint64_t sampleAt =
                at + kSamplesInRecord + 4 * static_cast<std::uint64_t>(point.amplitudeIndex);
            if (!source.read(sampleAt, bytes)) {
                list.Free();
                return {BlockStatus::ReadError, readFailedReason(sampleAt)};
            }
            point.amplitudeSample = sampleFromFile(loadLE<float>(bytes.data()));
        }
    }
    offset += blockSize(header);
    return BlockStatus::Ok;
}

BlockResult VisitWaveforms(ByteSource& source, std::size_t blocks, const WaveformVisit& visit) {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<Sample> samples;
    for (std::size_t line = 0; line < blocks; ++line) {
        TestParameters header;
        BlockResult status = ReadBlockHeader(source, offset, header);
        if (!status.ok()) {
            return status;
        }
        const auto count = static_cast<std::size_t>(header.sampleCount);
        bytes.resize(4 * count);
        samples.resize(count);
        const std::uint64_t size = recordSize(header.sampleCount);
        for (std::int32_t k = 0; k < header.pointCount; ++k) {
            const std::uint64_t at =
                offset + kHeaderSize + static_cast<std::uint64_t>(k) * size + kSamplesInRecord;
            if (!source.read(at, bytes)) {
                return {BlockStatus::ReadError, readFailedReason(at)};
            }
            for (std::size_t c = 0; c < count; ++c) {
                samples[c] = sampleFromFile(loadLE<float>(bytes.data() + 4 * c));
            }
            visit(line, static_cast<std::size_t>(k), samples);
        }
        offset += blockSize(header);
    }
    return BlockStatus::Ok;
}

BlockResult ReadLineBlock(ByteSource& source, std::uint64_t& offset, TestParameters& header,
                          PointList& list, SampleDetail detail) {
    TestParameters parsed;
    BlockResult status = ReadBlockHeader(source, offset, parsed);
    if (!status.ok()) {
        return status;
    }
    if (memoryForBlock(parsed) > memoryBudget()) {
        return {BlockStatus::TooLarge, tooLargeReason()};
    }
    PointList points;
    std::uint64_t next = offset;
    BlockResult pointsStatus;
    try {
        pointsStatus = ReadBlockPoints(source, next, parsed, points, detail);
    } catch (const std::bad_alloc&) {
        // Within the budget, but more than the system would give now.
        return {BlockStatus::TooLarge, tooLargeReason()};
    }
    if (!pointsStatus.ok()) {
        return pointsStatus;
    }
    header = std::move(parsed);
    list = std::move(points);
    offset = next;
    return BlockStatus::Ok;
}

void WriteLineBlock(std::vector<std::uint8_t>& out, const TestParameters& header,
                    const PointList& list) {
    // The header states the number of records that follow, so it always carries the list's
    // own count: a header out of step with its list would make an unreadable file.
    const auto pointCount = static_cast<std::int32_t>(list.size());
    const std::int32_t sampleCount = header.sampleCount > 0 ? header.sampleCount : list.sampleCount;
    TestParameters written = header;
    written.sampleCount = sampleCount;
    out.reserve(out.size() + kHeaderSize +
                static_cast<std::size_t>(pointCount) *
                    static_cast<std::size_t>(recordSize(sampleCount)));
    ByteWriter writer(out);
    serializeHeader(writer, written, pointCount);
    const auto n = static_cast<std::size_t>(sampleCount);
    for (std::size_t k = 0; k < list.size(); ++k) {
        const MeasuringPoint& point = list[k];
        writer.putBytes(recordForWriting(point).bytes());
        writer.putZeros(kRecordPadding);
        const std::size_t at = out.size();
        out.resize(at + 4 * n);
        std::uint8_t* floats = out.data() + at;
        const std::size_t have = std::min(n, point.samples.size());
        for (std::size_t c = 0; c < have; ++c) {
            storeLE(floats + 4 * c, static_cast<float>(static_cast<int>(point.samples[c]) -
                                                       static_cast<int>(kZeroLine)));
        }
        // A point with fewer samples than the line (never made by the program) is padded
        // with the zero line rather than shifting every following record.
        std::memset(floats + 4 * have, 0, 4 * (n - have));
    }
}

} // namespace crackdepth
