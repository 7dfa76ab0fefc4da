#include "core/document/model/undo_history.h"

#include <algorithm>

namespace crackdepth {

void UndoHistory::record(std::unique_ptr<Edit> edit) {
    if (edit->changesNothing()) {
        return; // nothing to undo, and the redo steps and the saved state stay as they were
    }
    if (saved_ && *saved_ > position_) {
        saved_.reset(); // the saved state was undone and is now replaced for good
    }
    edits_.resize(position_);
    const bool savedAtTop = saved_ == position_;
    if (position_ > 0 && !savedAtTop && edits_.back()->absorb(*edit)) {
        if (edits_.back()->changesNothing()) {
            edits_.pop_back();
            --position_;
        }
        return;
    }
    edits_.push_back(std::move(edit));
    ++position_;
}

const Edit* UndoHistory::undoable() const {
    return position_ > 0 ? edits_[position_ - 1].get() : nullptr;
}

const Edit* UndoHistory::redoable() const {
    return position_ < edits_.size() ? edits_[position_].get() : nullptr;
}

const Edit* UndoHistory::undo(DocumentData& data) {
    if (position_ == 0) {
        return nullptr;
    }
    Edit& edit = *edits_[--position_];
    edit.revert(data);
    return &edit;
}

const Edit* UndoHistory::redo(DocumentData& data) {
    if (position_ == edits_.size()) {
        return nullptr;
    }
    Edit& edit = *edits_[position_++];
    edit.apply(data);
    return &edit;
}

bool UndoHistory::differsFromSavedBeyond(const std::function<bool(const Edit&)>& confined) const {
    if (!saved_) {
        return true;
    }
    const std::size_t from = std::min(*saved_, position_);
    const std::size_t to = std::max(*saved_, position_);
    for (std::size_t i = from; i < to; ++i) {
        if (!confined(*edits_[i])) {
            return true;
        }
    }
    return false;
}

void UndoHistory::clear() {
    edits_.clear();
    position_ = 0;
    saved_ = 0;
}

std::size_t UndoHistory::heldBytes() const {
    std::size_t bytes = edits_.capacity() * sizeof(edits_[0]);
    for (const auto& edit : edits_) {
        bytes += edit->heldBytes();
    }
    return bytes;
}

} // namespace crackdepth
