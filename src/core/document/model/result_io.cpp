#include "core/document/model/result_io.h"

#include "core/analysis/transit_time.h"
#include "core/common/atomic_file.h"
#include "core/common/conversions.h"
#include "core/common/utf.h"
#include "core/data/measurement_file.h"
#include "core/data/result_file.h"
#include "core/document/model/line_loading.h"

#include <algorithm>

namespace crackdepth {
namespace {

void commitLine(PointList& line, TimeCorrections corrections) {
    const float m = line.minDelay;
    const auto n = static_cast<std::int64_t>(line.sampleCount);
    for (std::size_t i = 0; i < line.size(); ++i) {
        MeasuringPoint& point = line[i];
        point.originalSamples = point.samples;
        const float dt = point.record.samplingInterval();
        const std::int32_t s = transitTime(point, corrections.line, corrections.all).shift;
        const float delaySteps = (point.delay - m) / dt;
        const std::int64_t k = truncToInt32(static_cast<float>(s) + delaySteps);
        const auto size = static_cast<std::int64_t>(point.samples.size());
        for (std::int64_t c = 0; c < std::min(n, size); ++c) {
            const std::int64_t from = c - k;
            point.samples[static_cast<std::size_t>(c)] =
                from >= 0 && from < size ? point.originalSamples[static_cast<std::size_t>(from)]
                                         : kZeroLine;
        }
        const auto picked = static_cast<std::int64_t>(s) + point.arrivalIndex;
        point.arrivalIndex = truncToInt32(static_cast<float>(picked) + delaySteps);
        point.amplitudeIndex = point.arrivalIndex;
        point.delay = m;
        point.timeShift = 0;
    }
    // Every point now has the delay m, so m stays the line's smallest delay and a second
    // commit moves nothing (setting it to 0 would shift every waveform again and push its
    // last samples out of the record).
}

} // namespace

void FoldCorrections(DocumentData& data) {
    if (data.nonCrossingList) {
        commitLine(*data.nonCrossingList, data.nonCrossingCorrections());
    }
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        commitLine(*data.crossingLists[k], {data.correctionAll, data.crossingCorrections[k]});
    }
    if (data.rawCrossingList) {
        // A crossing raw file's line has no correction entry of its own.
        commitLine(*data.rawCrossingList, {data.correctionAll, 0.0f});
    }
}

bool hasPendingCorrections(const DocumentData& data) {
    if (data.correctionAll != 0 || data.correctionNonCrossing != 0) {
        return true;
    }
    for (const float correction : data.crossingCorrections) {
        if (correction != 0) {
            return true;
        }
    }
    const auto shifted = [](const PointList* line) {
        if (line == nullptr) {
            return false;
        }
        for (std::size_t i = 0; i < line->size(); ++i) {
            if ((*line)[i].timeShift != 0) {
                return true;
            }
        }
        return false;
    };
    if (shifted(data.nonCrossingList.get()) || shifted(data.rawCrossingList.get())) {
        return true;
    }
    for (const auto& line : data.crossingLists) {
        if (shifted(line.get())) {
            return true;
        }
    }
    return false;
}

bool hasSomethingToFold(const DocumentData& data) {
    if (hasPendingCorrections(data)) {
        return true;
    }
    const auto uneven = [](const PointList* line) {
        if (line == nullptr) {
            return false;
        }
        for (std::size_t i = 0; i < line->size(); ++i) {
            if ((*line)[i].delay != line->minDelay) {
                return true;
            }
        }
        return false;
    };
    if (uneven(data.nonCrossingList.get()) || uneven(data.rawCrossingList.get())) {
        return true;
    }
    return std::any_of(data.crossingLists.begin(), data.crossingLists.end(),
                       [&](const auto& line) { return uneven(line.get()); });
}

void CommitCorrections(DocumentData& data) {
    FoldCorrections(data);
    for (float& correction : data.crossingCorrections) {
        correction = 0;
    }
    data.correctionAll = 0;
    data.correctionNonCrossing = 0;
}

bool writeOrReport(const std::string& path, std::span<const std::uint8_t> bytes,
                   UserPrompts& prompts) {
    if (!writeFileAtomically(path, bytes).ok) {
        prompts.message(std::string(kSaveFailedMessage) + "\n" + path, MessageIcon::Error);
        return false;
    }
    return true;
}

bool ReadResult(const std::string& path, DocumentData& data, UserPrompts& prompts) {
    FileSource source(path);
    ResultFileContents contents;
    const BlockResult status = source.isOpen()
                                   ? ReadResultFile(source, contents)
                                   : BlockResult{BlockStatus::Unrecognised, "文件无法读取"};
    if (status == BlockStatus::ReadError) {
        prompts.message(kFilePointerMessage);
    }
    if (!status.ok()) {
        prompts.message(refusalMessage(status));
        return false;
    }

    LoadResultLines(data, std::move(contents), path);
    return true;
}

bool canWriteResult(const DocumentData& data) {
    return data.nonCrossingList && !data.crossingLists.empty();
}

bool WriteResult(const std::string& path, const DocumentData& data, UserPrompts& prompts) {
    if (!canWriteResult(data)) {
        prompts.message(kCannotSaveTypeMessage);
        return false;
    }
    ProjectBlock block = data.projectBlock;
    block.copyFrom(data.projectInfo);

    // The first header always states the number of lines that follow.
    TestParameters first = data.nonCrossingParameters;
    first.lineCount = static_cast<std::int32_t>(1 + data.crossingLists.size());
    std::vector<LineRef> lines{{&first, data.nonCrossingList.get()}};
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        lines.push_back({&data.crossingParameters[k], data.crossingLists[k].get()});
    }
    std::vector<std::uint8_t> bytes;
    WriteResultFile(bytes, lines, block);
    return writeOrReport(path, bytes, prompts);
}

} // namespace crackdepth
