// Every change of a document's data is an Edit: a named, self-contained operation that knows
// how to apply itself and how to revert what it changed (it keeps the values it replaced,
// never a copy of the document). The document runs edits, records them for undo and redo and
// announces each one with the DocumentChange it carries.
#pragma once

#include "core/document/model/document_data.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace crackdepth {

// What a notification tells the listeners: which kinds of state changed and, where one line
// or point is concerned, which.
struct DocumentChange {
    enum Flag : std::uint32_t {
        Data = 1u << 0,        // measurement data: the analysis and the content views follow
        Selection = 1u << 1,   // the selected tab, shown line or current point
        Tabs = 1u << 2,        // the crossing tab strip must be refilled
        Title = 1u << 3,       // the window title
        FileList = 1u << 4,    // the information panel's file list
        FileOpened = 1u << 5,  // a file was opened: it enters the recent-file list
        History = 1u << 6,     // what undo and redo offer, or the modified flag
        ProjectInfo = 1u << 7, // the project and test information
    };

    DocumentChange() = default;
    DocumentChange(std::uint32_t changed, std::optional<LineId> atLine = std::nullopt,
                   std::optional<std::int32_t> atPoint = std::nullopt)
        : flags(changed), line(atLine), point(atPoint) {}

    std::uint32_t flags = 0;
    std::optional<LineId> line;
    std::optional<std::int32_t> point;

    bool has(Flag flag) const { return (flags & flag) != 0; }
};

class Edit {
public:
    Edit(std::string name, DocumentChange change) : name_(std::move(name)), change_(change) {}
    virtual ~Edit() = default;
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

    // The name undo and redo show ("拾取初至").
    const std::string& name() const { return name_; }
    const DocumentChange& change() const { return change_; }

    // The first run and every redo; the data are as the edit found them the first time.
    virtual void apply(DocumentData& data) = 0;
    // Brings back what apply replaced; the data are as apply left them.
    virtual void revert(DocumentData& data) = 0;
    // Takes over a later edit of the same kind and target (successive keystrokes in one
    // field, one dialog's live changes), so that one undo reverts them all. The later edit
    // has been applied already. False when the two stay separate.
    virtual bool absorb(const Edit& later) {
        (void)later;
        return false;
    }
    // True when the edit leaves everything as it found it (a dialog cancelled after its live
    // changes); such an edit is dropped from the history.
    virtual bool changesNothing() const { return false; }
    // The memory the edit keeps for undo and redo, in bytes.
    virtual std::size_t heldBytes() const { return sizeof(Edit) + name_.capacity(); }

private:
    std::string name_;
    DocumentChange change_;
};

// An edit of one value of type T that the document reads with `get` and writes with `set`
// (a field, a point, a header or several fields taken together). Edits with the same
// non-empty merge key absorb each other.
template <typename T> class ValueEdit final : public Edit {
public:
    using Getter = std::function<T(const DocumentData&)>;
    using Setter = std::function<void(DocumentData&, const T&)>;

    ValueEdit(std::string name, DocumentChange change, Getter get, Setter set, T after,
              std::string mergeKey = {})
        : Edit(std::move(name), change), get_(std::move(get)), set_(std::move(set)),
          after_(std::move(after)), mergeKey_(std::move(mergeKey)) {}

    void apply(DocumentData& data) override {
        if (!before_) {
            before_ = get_(data);
        }
        set_(data, after_);
    }
    void revert(DocumentData& data) override { set_(data, *before_); }
    bool absorb(const Edit& later) override {
        const auto* same = dynamic_cast<const ValueEdit<T>*>(&later);
        if (same == nullptr || mergeKey_.empty() || same->mergeKey_ != mergeKey_) {
            return false;
        }
        after_ = same->after_;
        return true;
    }
    bool changesNothing() const override { return before_ && *before_ == after_; }
    // The value's own heap memory is left out: the values edited this way are small.
    std::size_t heldBytes() const override {
        return sizeof(*this) + name().capacity() + mergeKey_.capacity();
    }

private:
    Getter get_;
    Setter set_;
    T after_;
    std::optional<T> before_;
    std::string mergeKey_;
};

} // namespace crackdepth
