// What follows an office report ("输出到word", "输出到excel") once its file is written: it opens
// in the program the desktop has for its kind; the status bar names the file, and when no
// program could open it a message says where the file is and that it could not be opened.
#pragma once

#include "core/document/model/user_prompts.h"

#include <QString>
#include <filesystem>
#include <functional>

class QStatusBar;

namespace crackdepth::app {

inline constexpr const char* kReportSavedText = "报告已保存到：";
inline constexpr const char* kReportNotOpenedText = "无法打开此文件：系统中没有可以打开它的程序。";

// Opens a file in the desktop's program for it; false when none could.
using FileOpener = std::function<bool(const QString& path)>;
bool openWithDesktop(const QString& path);

void ShowWrittenReport(const std::filesystem::path& file, const FileOpener& open,
                       UserPrompts& prompts, QStatusBar& status);

} // namespace crackdepth::app
