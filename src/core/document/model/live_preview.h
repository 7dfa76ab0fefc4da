// What a dialog shows while it is open: its entries applied to the document for the views to
// show, outside the undo history. Cancel takes the preview back and leaves the history, redo
// and the modified flag exactly as they were; OK takes it back and performs the dialog's
// result as one edit.
#pragma once

#include "core/document/model/document.h"

#include <memory>

namespace crackdepth {

class LivePreview {
public:
    explicit LivePreview(Document& doc) : doc_(&doc) {}
    LivePreview(LivePreview&&) = default;
    LivePreview& operator=(LivePreview&&) = delete;
    LivePreview(const LivePreview&) = delete;
    LivePreview& operator=(const LivePreview&) = delete;
    // A dialog that ends without OK or Cancel leaves nothing behind either.
    ~LivePreview() { clear(); }

    // Replaces what is shown by `edit` (none: the data as they were).
    void show(std::unique_ptr<Edit> edit);
    // The data as they were before the dialog.
    void clear();
    // The data as they were, then `edit` performed as an edit of the history (none: nothing).
    void commit(std::unique_ptr<Edit> edit);
    bool showing() const { return edit_ != nullptr; }

private:
    Document* doc_;
    std::unique_ptr<Edit> edit_;
};

} // namespace crackdepth
