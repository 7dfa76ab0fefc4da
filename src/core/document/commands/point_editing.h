// The point commands of the line view's context menu, each (copy aside) a named, undoable edit
// of the document: paste and delete a point, set and clear the phase-reversal point, and keep
// or exclude a point by hand. Each acts on the current point of the shown line and returns
// whether it did anything; one that does not apply (see the enabling rules) changes nothing.
#pragma once

#include "core/data/measuring_point.h"
#include "core/document/model/document.h"

#include <optional>

namespace crackdepth {

inline constexpr const char* kCopyPointText = "复制测点";
inline constexpr const char* kPastePointText = "粘贴测点";
inline constexpr const char* kDeletePointText = "删除测点";
inline constexpr const char* kSetReversalText = "设置反相点";
inline constexpr const char* kClearReversalText = "撤销反相点";
inline constexpr const char* kManualExcludeText = "手动剔除";
inline constexpr const char* kManualKeepText = "手动保留";

inline constexpr const char* kNonCrossingDeleteLimitMessage =
    "不跨裂缝波形数量小于3个，您将不能继续删除了！";
inline constexpr const char* kCrossingDeleteLimitMessage =
    "跨裂缝波形数量小于3个，您将不能继续删除了！";

// The copied point, held by the line view for the whole run so that a point can be copied from
// one line and pasted into another. Its distance and `kept` are not part of the copy.
struct PointClipboard {
    std::optional<MeasuringPoint> point;

    bool hasPoint() const { return point.has_value(); }
};

// Which entries of the point menu are enabled, in menu order. The wave-train layouts offer the
// menu without the last two entries.
struct PointMenuEnabling {
    bool copy = false;
    bool paste = false;
    bool remove = false;
    bool setReversal = false;
    bool clearReversal = false;
    bool manualExclude = false;
    bool manualKeep = false;

    bool operator==(const PointMenuEnabling&) const = default;
};

// The enabling rules: reversal and manual entries only on the selected crossing line, paste only
// after a copy, the manual entries not for the decision the point already has; nothing without
// a current point.
PointMenuEnabling pointMenuEnabling(const DocumentData& data, const PointClipboard& clipboard);

// "复制测点": stores the current point in the clipboard, replacing an earlier copy. The
// document does not change.
bool CopyPoint(const Document& document, PointClipboard& clipboard);

// "粘贴测点": overwrites the current point with the copy, keeping its own distance (also the
// stored positions it is saved as) and `kept`. The waveforms take the target line's sample
// count: a longer copy is cut, a shorter one continues on the zero line.
bool PastePoint(Document& document, const PointClipboard& clipboard);

// "删除测点": removes the current point within the limits (at least 3 points on the non-crossing
// line, and on the only crossing line; the refusals are messages), steps the current index
// back, and keeps the line's header in step. A crossing line left empty is removed with its
// header and correction, and tab 0 is selected.
bool DeletePoint(Document& document);

// "设置反相点" / "撤销反相点": the selected crossing line's reversal point, in the current
// header and the line's stored one. Clearing leaves the index as it was.
bool SetReversalPoint(Document& document);
bool ClearReversalPoint(Document& document);

// "手动剔除" / "手动保留": the current point's manual mark (8000 or 1000) and `kept`.
bool MarkManualExclude(Document& document);
bool MarkManualKeep(Document& document);

} // namespace crackdepth
