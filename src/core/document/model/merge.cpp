#include "core/document/model/merge.h"

#include "core/common/utf.h"
#include "core/data/measurement_file.h"
#include "core/data/result_file.h"
#include "core/document/model/document_data.h"
#include "core/document/model/result_io.h"

#include <algorithm>

namespace crackdepth {
namespace {

// Only a line block of the other kind makes the extension the problem; anything else that
// is not the expected line is not a measurement file at all, and its message says why.
std::string refusalOf(const LineData& line, BlockResult read, bool nonCrossing) {
    const char* otherKind = nonCrossing ? kCrossingSignature : kNonCrossingSignature;
    if (read.ok() && line.header.signature == otherKind) {
        return kExtensionMismatchMessage;
    }
    if (read.ok()) {
        read = {BlockStatus::Unrecognised,
                signatureReason(nonCrossing ? kNonCrossingSignature : kCrossingSignature)};
    }
    return refusalMessage(read);
}

} // namespace

bool MergeSession::checkAgainst(const std::string& path, const Reference* reference,
                                Reference* recorded) {
    const bool nonCrossing = endsWith(path, ".DP0");
    if (!nonCrossing && !endsWith(path, ".DP1")) {
        prompts_.message(kUnrecognisedFileMessage);
        return false;
    }
    LineData line;
    const BlockResult read = ReadRawFile(path, line);
    const char* expected = nonCrossing ? kNonCrossingSignature : kCrossingSignature;
    if (!read.ok() || line.header.signature != expected) {
        prompts_.message(refusalOf(line, read, nonCrossing));
        return false;
    }
    Reference found;
    found.geometry = {line.header.originOffset, line.header.firstSpacing, line.header.stepPartA,
                      line.header.stepPartB};
    found.samplingInterval = line.points.empty() ? 0.0f : line.points[0].record.samplingInterval();
    if (nonCrossing) {
        if (recorded != nullptr) {
            *recorded = found;
        }
        return true;
    }
    return reference != nullptr && found.geometry == reference->geometry &&
           found.samplingInterval == reference->samplingInterval;
}

bool MergeSession::CheckMergeFile(const std::string& path) {
    Reference recorded;
    if (!checkAgainst(path, haveReference_ ? &reference_ : nullptr, &recorded)) {
        return false;
    }
    if (endsWith(path, ".DP0")) {
        reference_ = recorded;
        haveReference_ = true;
    }
    return true;
}

void MergeSession::addNonCrossingFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (endsWith(path, ".DP1")) {
            // Only the non-crossing file may set the reference parameters.
            prompts_.message(kExtensionMismatchMessage);
            continue;
        }
        if (CheckMergeFile(path)) {
            nonCrossingPath_ = path;
        }
    }
}

void MergeSession::addCrossingFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const bool accepted = endsWith(path, ".DP1")
                                  ? CheckMergeFile(path)
                                  : (prompts_.message(kUnrecognisedFileMessage), false);
        if (!accepted) {
            prompts_.message(kParameterMismatchMessage, MessageIcon::Error);
            return;
        }
        const std::string name = fileNameOf(path);
        const bool duplicate = std::any_of(rows_.begin(), rows_.end(),
                                           [&](const Row& row) { return row.name == name; });
        if (duplicate) {
            prompts_.message(kDuplicateCrossingMessage);
            return;
        }
        rows_.push_back({path, name, true});
    }
}

void MergeSession::clear() {
    rows_.clear();
    nonCrossingPath_.clear();
    haveReference_ = false;
}

void MergeSession::setChecked(std::size_t row, bool checked) {
    if (row < rows_.size()) {
        rows_[row].checked = checked;
    }
}

bool MergeSession::merge(const ProjectInfo& projectInfo) {
    std::erase_if(rows_, [](const Row& row) { return !row.checked; });
    if (rows_.empty() || nonCrossingPath_.empty()) {
        prompts_.message(kNothingToMergeMessage);
        return false;
    }
    auto target = prompts_.chooseSaveFile(kMergedResultFilter);
    if (!target) {
        return false;
    }
    if (fileNameOf(*target).find('.') == std::string::npos) {
        *target += ".DPA";
    }
    if (!mergeTo(*target, projectInfo)) {
        return false;
    }
    written_ = *target;
    return true;
}

std::string mergedQuestion(const std::string& target) {
    return "合并完成，结果文件已保存到：\n" + target + "\n\n是否打开此文件？";
}

MergeSession::Outcome MergeSession::mergeAndOffer(const ProjectInfo& projectInfo) {
    if (!merge(projectInfo)) {
        return {};
    }
    if (!prompts_.askYesNo(mergedQuestion(written_), MessageIcon::Information)) {
        return {true, std::nullopt};
    }
    return {true, written_};
}

bool MergeSession::mergeTo(const std::string& target, const ProjectInfo& projectInfo) {
    std::vector<std::uint8_t> bytes;
    return mergedBytes(projectInfo, bytes) && writeOrReport(target, bytes, prompts_);
}

bool MergeSession::mergedBytes(const ProjectInfo& projectInfo, std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> sources{nonCrossingPath_};
    for (const Row& row : rows_) {
        sources.push_back(row.path);
    }
    // The sources are read again now; one that changed on disk since it was added must
    // pass the same checks, or nothing is written.
    Reference reference;
    if (!checkAgainst(sources[0], nullptr, &reference)) {
        return false;
    }
    std::vector<LineData> lines;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i > 0 && !checkAgainst(sources[i], &reference, nullptr)) {
            prompts_.message(kParameterMismatchMessage, MessageIcon::Error);
            return false;
        }
        LineData line;
        if (const BlockResult read = ReadRawFile(sources[i], line); !read.ok()) {
            prompts_.message(refusalMessage(read)); // changed again since the check
            return false;
        }
        line.header.note = fileNameOf(sources[i]);
        lines.push_back(std::move(line));
    }
    TestParameters& first = lines[0].header;
    first.lineCount = static_cast<std::int32_t>(lines.size());

    ProjectInfo info = projectInfo;
    info.texts[kProjectName] = first.projectName;
    info.texts[kTestingOrganisation] = first.organisation;
    info.texts[kTester] = first.operatorName;
    info.texts[kTestDate] = first.testDate;
    ProjectBlock block;
    block.copyFrom(info);

    std::vector<LineRef> refs;
    for (const LineData& line : lines) {
        refs.push_back({&line.header, &line.points});
    }
    WriteResultFile(bytes, refs, block);
    return true;
}

MergeSession::Controls MergeSession::controls() const {
    Controls controls;
    controls.nonCrossingPath = nonCrossingPath_;
    const bool anyChecked =
        std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.checked; });
    if (anyChecked && !nonCrossingPath_.empty()) {
        controls.merge = controls.addCrossing = controls.clear = true;
        controls.addNonCrossing = false;
    } else {
        controls.merge = controls.addCrossing = controls.clear = false;
        controls.addNonCrossing = true;
        controls.addCrossing = !nonCrossingPath_.empty();
    }
    return controls;
}

} // namespace crackdepth
