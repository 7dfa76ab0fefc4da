// The undo and redo history of a document: the edits done since the file was opened, in
// order, and the position between the undone and the done ones. It also remembers the
// position at which the document was last saved, so undoing back to it clears the
// modified state.
#pragma once

#include "core/document/model/edit.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

class UndoHistory {
public:
    // Records an edit that has just been applied; one that changed nothing is not recorded.
    // Redo is lost. A later edit of the same kind
    // and target is absorbed by the last one unless the document was saved in between; an
    // edit that, absorbed, changes nothing any more is dropped.
    void record(std::unique_ptr<Edit> edit);

    // The edit undo would revert or redo would apply; none at either end.
    const Edit* undoable() const;
    const Edit* redoable() const;

    // Reverts or re-applies one edit on `data` and gives it; none at either end.
    const Edit* undo(DocumentData& data);
    const Edit* redo(DocumentData& data);

    // A new history (open, close, merge); the data are then as saved.
    void clear();
    // The data are as saved now.
    void markSaved() { saved_ = position_; }
    // No state of this history is the saved one (data that were never saved).
    void markUnsaved() { saved_.reset(); }
    // True unless the edits done are exactly those done when the data were last saved.
    bool differsFromSaved() const { return saved_ != position_; }
    // True when an edit between the saved state and now is not `confined` (or when the saved
    // state can no longer be told apart): which unsaved edits reach beyond a part.
    bool differsFromSavedBeyond(const std::function<bool(const Edit&)>& confined) const;

    std::size_t size() const { return edits_.size(); }
    // The memory the edits keep, in bytes.
    std::size_t heldBytes() const;
    std::size_t position() const { return position_; }

private:
    std::vector<std::unique_ptr<Edit>> edits_;
    std::size_t position_ = 0; // edits_[0, position_) are done
    // The position at the last save; none when that state can no longer be reached.
    std::optional<std::size_t> saved_ = 0;
};

} // namespace crackdepth
