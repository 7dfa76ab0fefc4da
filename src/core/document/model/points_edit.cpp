#include "core/document/model/points_edit.h"

#include <algorithm>

namespace crackdepth {
namespace {

// The points a reference names in the data as they are now.
void collect(const DocumentData& data, const PointRef& ref,
             std::vector<std::pair<LineId, std::size_t>>& into) {
    const PointList* line = data.line(ref.line);
    if (line == nullptr) {
        return;
    }
    if (ref.index) {
        if (*ref.index < line->size()) {
            into.emplace_back(ref.line, *ref.index);
        }
        return;
    }
    for (std::size_t i = 0; i < line->size(); ++i) {
        into.emplace_back(ref.line, i);
    }
}

PointFields& fieldsOf(MeasuringPoint& point) {
    return point;
}

std::size_t heapBytes(const std::optional<std::vector<Sample>>& waveform) {
    return waveform ? waveform->capacity() * sizeof(Sample) : 0;
}

} // namespace

PointsEdit::PointsEdit(std::string name, DocumentChange change, std::vector<PointRef> watched,
                       Mutation mutate, std::string mergeKey)
    : Edit(std::move(name), change), watched_(std::move(watched)), mutate_(std::move(mutate)),
      mergeKey_(std::move(mergeKey)) {}

void PointsEdit::apply(DocumentData& data) {
    if (applied_) {
        if (mutate_) {
            // The data are as first found: the same waveforms come out. The fields are set
            // as the edit left them all the same, should the change have read the selection.
            mutate_(data);
        }
        for (std::size_t k = 0; k < changed_.size(); ++k) {
            fieldsOf((*data.line(changed_[k].line))[changed_[k].index]) = fieldsAfter_[k];
        }
        return;
    }
    applied_ = true;
    std::vector<std::pair<LineId, std::size_t>> points;
    for (const PointRef& ref : watched_) {
        collect(data, ref, points);
    }
    std::vector<MeasuringPoint> before;
    before.reserve(points.size());
    for (const auto& [line, index] : points) {
        before.push_back((*data.line(line))[index]);
    }
    mutate_(data);
    // Only what changed is kept.
    for (std::size_t k = 0; k < points.size(); ++k) {
        const auto& [line, index] = points[k];
        const MeasuringPoint& after = (*data.line(line))[index];
        MeasuringPoint& was = before[k];
        if (after == was) {
            continue;
        }
        Changed changed{line, index, was, {}};
        if (after.samples != was.samples) {
            changed.wavesBefore.samples = std::move(was.samples);
        }
        if (after.originalSamples != was.originalSamples) {
            changed.wavesBefore.originalSamples = std::move(was.originalSamples);
        }
        changed_.push_back(std::move(changed));
        fieldsAfter_.push_back(after);
    }
    if (!changesWaveforms()) {
        mutate_ = nullptr; // the fields alone redo the edit
    }
    changed_.shrink_to_fit();
    fieldsAfter_.shrink_to_fit();
}

void PointsEdit::revert(DocumentData& data) {
    for (auto changed = changed_.rbegin(); changed != changed_.rend(); ++changed) {
        MeasuringPoint& point = (*data.line(changed->line))[changed->index];
        fieldsOf(point) = changed->before;
        if (changed->wavesBefore.samples) {
            point.samples = *changed->wavesBefore.samples;
        }
        if (changed->wavesBefore.originalSamples) {
            point.originalSamples = *changed->wavesBefore.originalSamples;
        }
    }
}

bool PointsEdit::absorb(const Edit& later) {
    const auto* same = dynamic_cast<const PointsEdit*>(&later);
    if (same == nullptr || mergeKey_.empty() || same->mergeKey_ != mergeKey_ ||
        changesWaveforms() || same->changesWaveforms()) {
        return false; // a redo of waveforms runs one change, not a chain of them
    }
    for (std::size_t n = 0; n < same->changed_.size(); ++n) {
        const Changed& next = same->changed_[n];
        bool known = false;
        for (std::size_t k = 0; k < changed_.size(); ++k) {
            if (changed_[k].line == next.line && changed_[k].index == next.index) {
                fieldsAfter_[k] = same->fieldsAfter_[n];
                known = true;
            }
        }
        if (!known) {
            changed_.push_back(next);
            fieldsAfter_.push_back(same->fieldsAfter_[n]);
        }
    }
    return true;
}

bool PointsEdit::changesNothing() const {
    if (changesWaveforms()) {
        return false;
    }
    for (std::size_t k = 0; k < changed_.size(); ++k) {
        if (!(changed_[k].before == fieldsAfter_[k])) {
            return false;
        }
    }
    return true;
}

std::size_t PointsEdit::heldBytes() const {
    std::size_t bytes = sizeof(*this) + name().capacity() + mergeKey_.capacity() +
                        watched_.capacity() * sizeof(PointRef) +
                        changed_.capacity() * sizeof(Changed) +
                        fieldsAfter_.capacity() * sizeof(PointFields);
    for (const Changed& changed : changed_) {
        bytes +=
            heapBytes(changed.wavesBefore.samples) + heapBytes(changed.wavesBefore.originalSamples);
    }
    return bytes;
}

bool PointsEdit::changesWaveforms() const {
    return std::any_of(changed_.begin(), changed_.end(),
                       [](const Changed& changed) { return changed.wavesBefore.any(); });
}

Corrections correctionsOf(const DocumentData& data) {
    return {data.correctionAll, data.correctionNonCrossing, data.crossingCorrections};
}

std::unique_ptr<Edit> makeCorrectionsEdit(std::string name, Corrections after,
                                          std::string mergeKey) {
    return std::make_unique<ValueEdit<Corrections>>(
        std::move(name), DocumentChange{}, correctionsOf,
        [](DocumentData& data, const Corrections& value) {
            data.correctionAll = value.all;
            data.correctionNonCrossing = value.nonCrossing;
            // A line removed since keeps no entry; the others take theirs.
            for (std::size_t k = 0; k < data.crossingCorrections.size(); ++k) {
                if (k < value.crossing.size()) {
                    data.crossingCorrections[k] = value.crossing[k];
                }
            }
        },
        std::move(after), std::move(mergeKey));
}

std::vector<PointRef> crossingLinePoints(const DocumentData& data) {
    std::vector<PointRef> watched;
    for (std::size_t k = 0; k < data.crossingLists.size(); ++k) {
        watched.push_back({{LineKind::Crossing, k}, std::nullopt});
    }
    if (data.rawCrossingList) {
        watched.push_back({{LineKind::RawCrossing, 0}, std::nullopt});
    }
    return watched;
}

std::vector<PointRef> allLinePoints(const DocumentData& data) {
    std::vector<PointRef> watched;
    if (data.nonCrossingList) {
        watched.push_back({kNonCrossingLine, std::nullopt});
    }
    const std::vector<PointRef> crossing = crossingLinePoints(data);
    watched.insert(watched.end(), crossing.begin(), crossing.end());
    return watched;
}

std::unique_ptr<Edit> makeFoldCorrectionsEdit(std::string name, const DocumentData& data,
                                              PointsEdit::Mutation fold) {
    std::vector<std::unique_ptr<Edit>> parts;
    parts.push_back(
        std::make_unique<PointsEdit>(name, DocumentChange{}, allLinePoints(data), std::move(fold)));
    Corrections zero = correctionsOf(data);
    zero.all = 0;
    zero.nonCrossing = 0;
    std::fill(zero.crossing.begin(), zero.crossing.end(), 0.0f);
    parts.push_back(makeCorrectionsEdit(name, zero));
    return std::make_unique<CompositeEdit>(std::move(name), DocumentChange{}, std::move(parts));
}

CompositeEdit::CompositeEdit(std::string name, DocumentChange change,
                             std::vector<std::unique_ptr<Edit>> parts)
    : Edit(std::move(name), change), parts_(std::move(parts)) {}

void CompositeEdit::apply(DocumentData& data) {
    for (auto& part : parts_) {
        part->apply(data);
    }
}

void CompositeEdit::revert(DocumentData& data) {
    for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) {
        (*part)->revert(data);
    }
}

bool CompositeEdit::changesNothing() const {
    for (const auto& part : parts_) {
        if (!part->changesNothing()) {
            return false;
        }
    }
    return true;
}

std::size_t CompositeEdit::heldBytes() const {
    std::size_t bytes = sizeof(*this) + name().capacity();
    for (const auto& part : parts_) {
        bytes += part->heldBytes();
    }
    return bytes;
}

} // namespace crackdepth
