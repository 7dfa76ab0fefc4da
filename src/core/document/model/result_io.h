// Opening and saving result files on the document's data, and the step that folds pending
// time corrections and delay differences into the waveforms before a result is written.
#pragma once

#include "core/document/model/document_data.h"
#include "core/document/model/user_prompts.h"

#include <cstdint>
#include <span>
#include <string>

namespace crackdepth {

inline constexpr const char* kCannotSaveTypeMessage = "暂时无法保存此文件类型！";
inline constexpr const char* kSaveFailedMessage = "文件保存失败！";

// Writes a whole file in place of `path` (atomically); a failure is reported with
// "文件保存失败！" and the path, and leaves the previous file intact.
bool writeOrReport(const std::string& path, std::span<const std::uint8_t> bytes,
                   UserPrompts& prompts);

// Replaces the document's lines and project information with the result file's. A file
// that cannot be read is reported ("无法识别的文件类型！") and leaves the document exactly
// as it was. Every time correction starts at 0.
bool ReadResult(const std::string& path, DocumentData& data, UserPrompts& prompts);

// Writes the result file as the data stand (the corrections should have been committed);
// false (with a message) when the document lacks the lines a result needs or the file cannot
// be written. A failed write leaves the previous file intact.
bool WriteResult(const std::string& path, const DocumentData& data, UserPrompts& prompts);

// True when the data hold what a result file needs: the non-crossing line and the result's
// crossing lines.
bool canWriteResult(const DocumentData& data);

// Folds every pending correction and the points' delay differences into the waveforms:
// afterwards each point of a line has the line's former minimum delay and each first arrival
// sits where the corrected transit time put it. The corrections themselves stay.
void FoldCorrections(DocumentData& data);
// True when a fold would move a transit time: a correction of the document or of a point is
// not 0.
bool hasPendingCorrections(const DocumentData& data);
// True when a fold would change a waveform: a correction is pending, or the points of a line
// have different delays. Otherwise it would only copy each working waveform over its backup.
bool hasSomethingToFold(const DocumentData& data);
// FoldCorrections, after which every correction is 0.
void CommitCorrections(DocumentData& data);

} // namespace crackdepth
