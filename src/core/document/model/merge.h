// Merging one non-crossing raw file and one or more crossing raw files into a result file:
// the logic of the "合并" dialog (its choices, checks, messages and which buttons are
// enabled) and the merge write itself. It works on files only; the document's lines are
// neither read nor changed.
#pragma once

#include "core/data/project_info.h"
#include "core/document/model/file_kinds.h"
#include "core/document/model/user_prompts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

inline constexpr const char* kExtensionMismatchMessage = "此文件的扩展名与其实际的文件类型不一致！";
inline constexpr const char* kParameterMismatchMessage =
    "打开失败！\n提示：请选择与不跨裂缝文件检测\n      参数一致的跨裂缝文件!";
inline constexpr const char* kDuplicateCrossingMessage =
    "跨裂缝文件列表中已包含同名文件，是否继续？";
inline constexpr const char* kNothingToMergeMessage =
    "请至少选择一个不跨裂缝文件和跨裂缝文件合并！";
inline constexpr const char* kNonCrossingFilter = kNonCrossingFileFilter;
inline constexpr const char* kCrossingFilter = kCrossingFileFilter;
// The merged file is a result file like any other and is named so.
inline constexpr const char* kMergedResultFilter = kResultFileFilter;
// After a merge: where the result file is, and whether to open it.
std::string mergedQuestion(const std::string& target);

class MergeSession {
public:
    struct Row {
        std::string path;
        std::string name; // the file name shown in the list
        bool checked = true;
    };

    // Which controls the dialog enables, and the path its read-only field shows.
    struct Controls {
        bool merge = false;
        bool addCrossing = false;
        bool clear = false;
        bool addNonCrossing = true;
        std::string nonCrossingPath;
    };

    explicit MergeSession(UserPrompts& prompts) : prompts_(prompts) {}

    // Checks a raw file against its extension (the last four characters, ".DP0" or ".DP1")
    // and, for a crossing file, against the chosen non-crossing file's parameters. A
    // non-crossing file that passes becomes the reference for the crossing files.
    bool CheckMergeFile(const std::string& path);

    // The buttons. The file lists are what the open dialogs returned, in their order.
    void addNonCrossingFiles(const std::vector<std::string>& paths);
    void addCrossingFiles(const std::vector<std::string>& paths);
    void clear();
    void setChecked(std::size_t row, bool checked);

    // "合并": drops the unchecked rows, asks for the target through the save dialog and
    // writes. False when nothing was written.
    bool merge(const ProjectInfo& projectInfo);
    // "合并" as the dialog runs it: after a write, says where the result file went and asks
    // whether to open it (the dialog then closes). What was written and the file to open, if
    // the operator wants it open.
    struct Outcome {
        bool written = false;
        std::optional<std::string> open;
    };
    Outcome mergeAndOffer(const ProjectInfo& projectInfo);
    // The write step with a known target; every source is checked again first.
    bool mergeTo(const std::string& target, const ProjectInfo& projectInfo);
    // The result file the write step would write, in memory; false (after the same messages)
    // when a source no longer passes its checks.
    bool mergedBytes(const ProjectInfo& projectInfo, std::vector<std::uint8_t>& bytes);

    Controls controls() const;
    const std::vector<Row>& rows() const { return rows_; }
    const std::string& nonCrossingPath() const { return nonCrossingPath_; }

private:
    struct Reference {
        std::array<float, 4> geometry{}; // origin offset, first spacing, the two step parts
        float samplingInterval = 0;
    };

    bool checkAgainst(const std::string& path, const Reference* reference, Reference* recorded);

    UserPrompts& prompts_;
    std::string nonCrossingPath_;
    std::vector<Row> rows_;
    std::string written_; // the target of the last merge that wrote
    Reference reference_;
    bool haveReference_ = false;
};

} // namespace crackdepth
