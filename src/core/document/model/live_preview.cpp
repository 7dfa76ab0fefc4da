#include "core/document/model/live_preview.h"

namespace crackdepth {

void LivePreview::show(std::unique_ptr<Edit> edit) {
    clear();
    if (edit) {
        doc_->showPreview(*edit);
        edit_ = std::move(edit);
    }
}

void LivePreview::clear() {
    if (edit_) {
        const std::unique_ptr<Edit> shown = std::move(edit_);
        doc_->withdrawPreview(*shown);
    }
}

void LivePreview::commit(std::unique_ptr<Edit> edit) {
    clear();
    if (edit) {
        doc_->perform(std::move(edit));
    }
}

} // namespace crackdepth
