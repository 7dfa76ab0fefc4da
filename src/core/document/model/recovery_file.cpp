#include "core/document/model/recovery_file.h"

#include "core/common/bytes.h"
#include "core/data/line_block.h"

#include <array>
#include <cstring>

namespace crackdepth {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic{'C', 'D', 'R', 'E', 'C', 'O', 'V', 'R'};
constexpr std::uint32_t kVersion = 1;

const char* const kDamagedReason = "文件不完整或已损坏";

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}

    template <typename T> void put(T value) { out_.put(value); }
    void text(const std::string& value) {
        out_.put(static_cast<std::uint32_t>(value.size()));
        out_.putBytes(std::span(reinterpret_cast<const std::uint8_t*>(value.data()), value.size()));
    }
    void samples(const std::vector<Sample>& values) {
        out_.put(static_cast<std::uint32_t>(values.size()));
        for (const Sample value : values) {
            out_.put(value);
        }
    }
    void header(const TestParameters& h) {
        for (const std::string* value :
             {&h.fileId, &h.instrumentId, &h.signature, &h.projectName, &h.organisation,
              &h.operatorName, &h.testDate, &h.spareText, &h.note}) {
            text(*value);
        }
        put(h.pointCount);
        put(h.sampleCount);
        put(h.reservedIntegers[0]);
        put(h.reservedIntegers[1]);
        put(h.originOffset);
        put(h.firstSpacing);
        put(h.stepPartA);
        put(h.stepPartB);
        put(h.referenceDistance);
        put(h.referencePoint);
        put(h.reservedSlot6);
        put(h.zeroCalibration);
        put(h.reservedSlot8);
        put(h.reservedSlot9);
        put(h.countCopy);
        put(h.step);
        put(h.lineFlag);
        put(h.reversalIndex);
        put(h.lineCount);
        put(h.lineDate.year);
        put(h.lineDate.month);
        put(h.lineDate.day);
        put(h.lineDate.spare[0]);
        put(h.lineDate.spare[1]);
    }
    void line(const PointList& list) {
        put(list.minDelay);
        put(list.currentIndex);
        put(list.sampleCount);
        put(static_cast<std::uint32_t>(list.size()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            const MeasuringPoint& point = list[i];
            put(point.distance);
            put(point.delay);
            put(point.timeShift);
            put(point.gain);
            put(point.arrivalIndex);
            put(point.amplitudeIndex);
            put(point.kept);
            out_.putBytes(point.record.bytes());
            samples(point.samples);
            samples(point.originalSamples);
        }
    }
    // A line that may be missing: a presence byte first.
    void optionalLine(const PointList* list, const TestParameters& h) {
        put(static_cast<std::uint8_t>(list != nullptr ? 1 : 0));
        if (list != nullptr) {
            header(h);
            line(*list);
        }
    }

private:
    ByteWriter out_;
};

// Every read checks the bytes left; the first failure sticks, so the reading code can run
// straight through and look once at the end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : in_(bytes), size_(bytes.size()) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return in_.position() == size_; }
    void fail() { ok_ = false; }

    template <typename T> T get() {
        T value{};
        if (ok_ && !in_.get(value)) {
            ok_ = false;
        }
        return value;
    }
    std::string text() {
        const auto size = get<std::uint32_t>();
        std::span<const std::uint8_t> bytes;
        if (!ok_ || !in_.getBytes(size, bytes)) {
            ok_ = false;
            return {};
        }
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::vector<Sample> samples() {
        const auto count = get<std::uint32_t>();
        std::span<const std::uint8_t> bytes;
        // The bytes must be there before anything is allocated for them.
        if (!ok_ || count > static_cast<std::uint32_t>(kMaxSampleCount) ||
            !in_.getBytes(std::size_t{count} * sizeof(Sample), bytes)) {
            ok_ = false;
            return {};
        }
        std::vector<Sample> values(count);
        if (count > 0) { // an empty vector's data() may be null, which memcpy must not see
            std::memcpy(values.data(), bytes.data(), bytes.size());
        }
        return values;
    }
    TestParameters header() {
        TestParameters h;
        for (std::string* value :
             {&h.fileId, &h.instrumentId, &h.signature, &h.projectName, &h.organisation,
              &h.operatorName, &h.testDate, &h.spareText, &h.note}) {
            *value = text();
        }
        h.pointCount = get<std::int32_t>();
        h.sampleCount = get<std::int32_t>();
        h.reservedIntegers[0] = get<std::uint32_t>();
        h.reservedIntegers[1] = get<std::uint32_t>();
        h.originOffset = get<float>();
        h.firstSpacing = get<float>();
        h.stepPartA = get<float>();
        h.stepPartB = get<float>();
        h.referenceDistance = get<float>();
        h.referencePoint = get<std::int32_t>();
        h.reservedSlot6 = get<std::uint32_t>();
        h.zeroCalibration = get<float>();
        h.reservedSlot8 = get<std::uint32_t>();
        h.reservedSlot9 = get<std::uint32_t>();
        h.countCopy = get<std::int32_t>();
        h.step = get<float>();
        h.lineFlag = get<std::int32_t>();
        h.reversalIndex = get<std::int32_t>();
        h.lineCount = get<std::int32_t>();
        h.lineDate.year = get<std::uint16_t>();
        h.lineDate.month = get<std::uint16_t>();
        h.lineDate.day = get<std::uint16_t>();
        h.lineDate.spare[0] = get<std::uint8_t>();
        h.lineDate.spare[1] = get<std::uint8_t>();
        return h;
    }
    // A line as the program holds one: every waveform as long as the line's sample count,
    // the current point within the line.
    std::unique_ptr<PointList> line() {
        auto list = std::make_unique<PointList>();
        list->minDelay = get<float>();
        list->currentIndex = get<std::int32_t>();
        list->sampleCount = get<std::int32_t>();
        const auto count = get<std::uint32_t>();
        if (!ok_ || list->sampleCount < 1 || list->sampleCount > kMaxSampleCount ||
            count > PointList::kMaxPoints ||
            (count > 0 &&
             (list->currentIndex < 0 || static_cast<std::uint32_t>(list->currentIndex) >= count))) {
            ok_ = false;
            return nullptr;
        }
        const auto expected = static_cast<std::size_t>(list->sampleCount);
        for (std::uint32_t i = 0; i < count && ok_; ++i) {
            MeasuringPoint point;
            point.distance = get<float>();
            point.delay = get<float>();
            point.timeShift = get<float>();
            point.gain = get<float>();
            point.arrivalIndex = get<std::int32_t>();
            point.amplitudeIndex = get<std::int32_t>();
            point.kept = get<std::int32_t>();
            PointRecord::Bytes record{};
            std::span<const std::uint8_t> bytes;
            if (!ok_ || !in_.getBytes(record.size(), bytes)) {
                ok_ = false;
                break;
            }
            std::memcpy(record.data(), bytes.data(), record.size());
            point.record = PointRecord(record);
            point.samples = samples();
            point.originalSamples = samples();
            if (point.samples.size() != expected || point.originalSamples.size() != expected ||
                !list->AppendWithoutWaveforms(point.distance)) {
                ok_ = false;
                break;
            }
            *list->cursor() = std::move(point);
        }
        return ok_ ? std::move(list) : nullptr;
    }
    bool optionalLine(std::unique_ptr<PointList>& list, TestParameters& h) {
        const auto present = get<std::uint8_t>();
        if (present > 1) {
            ok_ = false;
        }
        if (present == 1 && ok_) {
            h = header();
            list = line();
        }
        return ok_;
    }

private:
    ByteReader in_;
    std::size_t size_;
    bool ok_ = true;
};

bool readHeading(Reader& in, RecoveryHeading& heading) {
    for (const std::uint8_t expected : kMagic) {
        if (in.get<std::uint8_t>() != expected) {
            in.fail();
        }
    }
    if (in.get<std::uint32_t>() != kVersion) {
        in.fail();
    }
    heading.savedAt = in.get<std::int64_t>();
    heading.documentPath = in.text();
    return in.ok();
}

} // namespace

std::uint64_t recoveryChecksum(std::span<const std::uint8_t> bytes) {
    // FNV-1a: enough to tell a damaged copy from a whole one, not a guard against intent.
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

std::vector<std::uint8_t> WriteRecoveryCopy(const DocumentData& data,
                                            const std::string& documentPath, std::int64_t savedAt) {
    std::vector<std::uint8_t> bytes;
    Writer out(bytes);
    for (const std::uint8_t byte : kMagic) {
        out.put(byte);
    }
    out.put(kVersion);
    out.put(savedAt);
    out.text(documentPath);

    const PathFields& paths = data.paths;
    for (const std::string* value :
         {&paths.nonCrossingName, &paths.nonCrossingPath, &paths.crossingName, &paths.crossingPath,
          &paths.currentFileName, &paths.currentBaseName}) {
        out.text(*value);
    }
    out.put(data.correctionAll);
    out.put(data.correctionNonCrossing);
    out.put(static_cast<std::uint64_t>(data.currentCrossingEntry));
    out.put(static_cast<std::uint8_t>(data.shown));
    out.put(data.currentTab);
    for (const std::string& value : data.projectInfo.texts) {
        out.text(value);
    }
    out.put(data.projectInfo.locked);
    for (const std::string& value : data.projectBlock.texts) {
        out.text(value);
    }

    out.optionalLine(data.nonCrossingList.get(), data.nonCrossingParameters);
    out.put(static_cast<std::uint32_t>(data.crossingLists.size()));
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        out.header(data.crossingParameters[k]);
        out.line(*data.crossingLists[k]);
        out.put(data.crossingCorrections[k]);
    }
    out.optionalLine(data.rawCrossingList.get(), data.rawCrossingParameters);

    out.put(recoveryChecksum(bytes));
    return bytes;
}

std::optional<RecoveryHeading> ReadRecoveryHeading(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    RecoveryHeading heading;
    if (!readHeading(in, heading)) {
        return std::nullopt;
    }
    return heading;
}

std::optional<RecoveryContents> ReadRecoveryCopy(std::span<const std::uint8_t> bytes,
                                                 std::string& reason) {
    reason = kDamagedReason;
    if (bytes.size() < sizeof(std::uint64_t)) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> body = bytes.first(bytes.size() - sizeof(std::uint64_t));
    if (loadLE<std::uint64_t>(bytes.data() + body.size()) != recoveryChecksum(body)) {
        return std::nullopt;
    }
    Reader in(body);
    RecoveryContents contents;
    RecoveryHeading heading;
    if (!readHeading(in, heading)) {
        reason = "不是本程序的恢复文件，或由其他版本写出";
        return std::nullopt;
    }
    contents.documentPath = heading.documentPath;
    contents.savedAt = heading.savedAt;

    DocumentData& data = contents.data;
    PathFields& paths = data.paths;
    for (std::string* value :
         {&paths.nonCrossingName, &paths.nonCrossingPath, &paths.crossingName, &paths.crossingPath,
          &paths.currentFileName, &paths.currentBaseName}) {
        *value = in.text();
    }
    data.correctionAll = in.get<float>();
    data.correctionNonCrossing = in.get<float>();
    const auto currentEntry = in.get<std::uint64_t>();
    const auto shown = in.get<std::uint8_t>();
    data.currentTab = in.get<std::int32_t>();
    for (std::string& value : data.projectInfo.texts) {
        value = in.text();
    }
    data.projectInfo.locked = in.get<std::int32_t>();
    for (std::string& value : data.projectBlock.texts) {
        value = in.text();
    }

    in.optionalLine(data.nonCrossingList, data.nonCrossingParameters);
    const auto crossingCount = in.get<std::uint32_t>();
    // Each crossing line takes bytes of its own, so the count cannot outrun the file.
    for (std::uint32_t k = 0; k < crossingCount && in.ok(); ++k) {
        TestParameters header = in.header();
        std::unique_ptr<PointList> line = in.line();
        const auto correction = in.get<float>();
        if (!in.ok()) {
            break;
        }
        data.crossingParameters.push_back(std::move(header));
        data.crossingLists.push_back(std::move(line));
        data.crossingCorrections.push_back(correction);
    }
    in.optionalLine(data.rawCrossingList, data.rawCrossingParameters);
    if (!in.ok() || !in.atEnd()) {
        return std::nullopt;
    }

    // The selection must name lines the copy holds, as the document's own always does.
    const std::size_t crossing = data.crossingLists.size();
    const bool selectionValid =
        shown <= static_cast<std::uint8_t>(ShownLine::Crossing) && data.currentTab >= 0 &&
        static_cast<std::size_t>(data.currentTab) <= std::max<std::size_t>(crossing, 1) &&
        (crossing == 0 ? currentEntry == 0 : currentEntry < crossing) &&
        (crossing == 0 || data.rawCrossingList == nullptr);
    if (!selectionValid) {
        return std::nullopt;
    }
    data.currentCrossingEntry = static_cast<std::size_t>(currentEntry);
    data.shown = static_cast<ShownLine>(shown);
    if (data.shownList() == nullptr) {
        data.shown = ShownLine::None;
    }
    return contents;
}

} // namespace crackdepth
