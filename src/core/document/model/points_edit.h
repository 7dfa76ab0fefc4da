// The edits of measuring points and of time corrections that the commands are made of: an
// edit of chosen points that keeps each changed point as it was and as the edit left it, the
// pending time corrections taken together as one value, and a sequence of edits done as one.
#pragma once

#include "core/document/model/edit.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace crackdepth {

// One point of a line, or with `index` none every point of the line.
struct PointRef {
    LineId line;
    std::optional<std::size_t> index;
};

// An edit of chosen points that keeps, of each point it changed, the fields as they were and
// as it left them, and a waveform only where it changed that waveform, and then only as it
// was. A redo sets the fields the edit left; where it changed waveforms it first runs the
// same change again on the data as the edit first found them. Undo memory grows with the
// change, never with the document.
class PointsEdit final : public Edit {
public:
    using Mutation = std::function<void(DocumentData&)>;

    // `mutate` changes only the points that `watched` names, and the same way each time it
    // runs on the same data (it is run again for a redo that brings back waveforms). Edits
    // with the same non-empty merge key absorb each other as long as neither changes a
    // waveform.
    PointsEdit(std::string name, DocumentChange change, std::vector<PointRef> watched,
               Mutation mutate, std::string mergeKey = {});

    void apply(DocumentData& data) override;
    void revert(DocumentData& data) override;
    bool absorb(const Edit& later) override;
    bool changesNothing() const override;
    std::size_t heldBytes() const override;

private:
    // A point's waveforms as they were, where the edit changed them.
    struct Waveforms {
        std::optional<std::vector<Sample>> samples;
        std::optional<std::vector<Sample>> originalSamples;

        bool any() const { return samples || originalSamples; }
    };
    struct Changed {
        LineId line;
        std::size_t index;
        PointFields before;
        Waveforms wavesBefore;
    };

    bool changesWaveforms() const;

    std::vector<PointRef> watched_;
    Mutation mutate_; // kept only where a redo needs it to make the waveforms again
    std::string mergeKey_;
    bool applied_ = false;
    std::vector<Changed> changed_;
    // The fields each changed point was left with.
    std::vector<PointFields> fieldsAfter_;
};

// The pending time corrections of a document, all taken together.
struct Corrections {
    float all = 0;
    float nonCrossing = 0;
    std::vector<float> crossing;

    bool operator==(const Corrections&) const = default;
};

Corrections correctionsOf(const DocumentData& data);
std::unique_ptr<Edit> makeCorrectionsEdit(std::string name, Corrections after,
                                          std::string mergeKey = {});

// Every point of the crossing lines (the result file's, or a crossing raw file's line), and
// every point of every line.
std::vector<PointRef> crossingLinePoints(const DocumentData& data);
std::vector<PointRef> allLinePoints(const DocumentData& data);

// The pending corrections folded into the waveforms by `fold` (FoldCorrections, and whatever
// else the caller settles in the points at the same time), then set to 0: one edit.
std::unique_ptr<Edit> makeFoldCorrectionsEdit(std::string name, const DocumentData& data,
                                              PointsEdit::Mutation fold);

// Edits done one after the other as a single edit, and undone in the reverse order.
class CompositeEdit final : public Edit {
public:
    CompositeEdit(std::string name, DocumentChange change,
                  std::vector<std::unique_ptr<Edit>> parts);

    void apply(DocumentData& data) override;
    void revert(DocumentData& data) override;
    bool changesNothing() const override;
    std::size_t heldBytes() const override;

private:
    std::vector<std::unique_ptr<Edit>> parts_;
};

} // namespace crackdepth
