#include "cli/batch_analyze.h"

#include "cli/analysis_document.h"
#include "cli/output.h"
#include "core/common/utf.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

namespace crackdepth::cli {
namespace {

namespace fs = std::filesystem;

std::string upperExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

// One file's record, already laid out in the output format, so that the workers format in
// parallel and the writer only copies.
struct Outcome {
    std::string text;
    bool refused = false;
};

JsonWriter::Layout layoutOf(BatchFormat format) {
    return format == BatchFormat::JsonLines ? JsonWriter::Layout::Compact
                                            : JsonWriter::Layout::Indented;
}

std::string refusalRecord(const std::string& path, const Refusal& refusal, BatchFormat format) {
    std::string text;
    switch (format) {
    case BatchFormat::JsonLines:
    case BatchFormat::Json: {
        JsonWriter out(text, layoutOf(format));
        out.beginObject();
        out.key("file").value(path);
        out.key("error").value(refusal.message);
        out.key("explanation").value(refusal.explanation);
        out.endObject();
        break;
    }
    case BatchFormat::Csv:
        text = csvField(path) + ",,,,,,,,,," +
               csvField(refusal.message.empty() ? refusal.explanation : refusal.message) + "\r\n";
        break;
    case BatchFormat::Text:
        text = "== " + path + '\n';
        if (!refusal.message.empty()) {
            text += refusal.message + '\n';
        }
        text += "error: " + refusal.explanation + "\n\n";
        break;
    }
    return text;
}

std::string analysisRecord(const BatchInput& input, const AnalysedInput& analysed,
                           const BatchOptions& options) {
    const std::string& path = input.path;
    const CrackFilter filter{options.minDepth};
    std::string text;
    switch (options.format) {
    case BatchFormat::JsonLines:
    case BatchFormat::Json: {
        JsonWriter out(text, layoutOf(options.format));
        out.beginObject();
        out.key("file").value(path);
        if (input.crossing) {
            out.key("crossingFiles").beginArray();
            for (const std::string& crossing : *input.crossing) {
                out.value(crossing);
            }
            out.endArray();
        }
        writeAnalysisMembers(out, analysed, filter);
        out.endObject();
        break;
    }
    case BatchFormat::Csv:
        appendAnalysisCsvRows(text, path, analysed, filter);
        break;
    case BatchFormat::Text: {
        std::ostringstream table;
        table << "== " << path << '\n';
        printAnalysisText(table, analysed, filter);
        table << '\n';
        text = table.str();
        break;
    }
    }
    return text;
}

Outcome analyseFile(const BatchInput& input, const BatchOptions& options) {
    const std::string& path = input.path;
    const auto refuse = [&](const Refusal& refusal) {
        return Outcome{refusalRecord(path, refusal, options.format), true};
    };
    if (!input.unreadable.empty()) {
        return refuse({"", path + ": " + input.unreadable});
    }
    try {
        AnalysedInput analysed;
        DocumentData& data = analysed.data;
        const bool merged = input.crossing && !input.crossing->empty();
        if (const auto refusal =
                merged ? openMergedInput(path, *input.crossing, options.input, analysed)
                       : openInput({path}, options.input, analysed)) {
            return refuse(*refusal);
        }
        const auto secondPoint = options.analysis.secondPoint;
        if (secondPoint &&
            *secondPoint >= static_cast<std::int32_t>(data.nonCrossingList->size())) {
            return refuse({"", path + ": --second-point " + std::to_string(*secondPoint) +
                                   " does not exist: the non-crossing line has " +
                                   std::to_string(data.nonCrossingList->size()) + " points"});
        }
        analyseInput(analysed, options.analysis, options.input);
        return {analysisRecord(input, analysed, options), false};
    } catch (const std::bad_alloc&) {
        return refuse({"", path + ": out of memory"});
    }
}

// Why a folder entry named like a measurement file is not one that can be read.
std::string unreadableReason(const fs::path& path, const fs::file_status& status,
                             const std::error_code& error) {
    if (error == std::errc::too_many_symbolic_link_levels) {
        return "a loop of symbolic links; not read";
    }
    std::error_code ignored;
    if (fs::is_symlink(fs::symlink_status(path, ignored)) &&
        error == std::errc::no_such_file_or_directory) {
        return "a symbolic link whose target does not exist; not read";
    }
    if (error) {
        return "cannot be examined: " + error.message() + "; not read";
    }
    if (fs::is_fifo(status)) {
        return "a FIFO (named pipe), not a file; not read";
    }
    return "not a regular file; not read";
}

} // namespace

std::vector<std::string> crossingPartners(const std::string& nonCrossing) {
    const fs::path path(nonCrossing);
    const std::string stem = path.stem().string();
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::vector<std::string> partners;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder, code)) {
        std::error_code ignored;
        const std::string name = entry.path().stem().string();
        const bool sameStem =
            name == stem || (name.size() > stem.size() && name.compare(0, stem.size(), stem) == 0 &&
                             std::string_view("_-. ").find(name[stem.size()]) != std::string::npos);
        if (sameStem && upperExtension(entry.path()) == ".DP1" && entry.is_regular_file(ignored)) {
            partners.push_back((path.has_parent_path() ? folder / entry.path().filename()
                                                       : entry.path().filename())
                                   .string());
        }
    }
    std::sort(partners.begin(), partners.end());
    return partners;
}

std::optional<std::vector<BatchInput>> batchInputs(const std::vector<std::string>& paths,
                                                   bool recursive, bool pairRaw,
                                                   std::string& error) {
    const auto input = [&](const std::string& file) {
        return pairRaw && upperExtension(file) == ".DP0"
                   ? BatchInput{file, crossingPartners(file), {}}
                   : BatchInput{file, std::nullopt, {}};
    };
    std::vector<BatchInput> inputs;
    for (const std::string& path : paths) {
        std::error_code code;
        if (!fs::is_directory(path, code)) {
            if (!fs::exists(path, code)) {
                error = "no such file or folder: " + path;
                return std::nullopt;
            }
            inputs.push_back(input(path));
            continue;
        }
        std::vector<BatchInput> found;
        const auto take = [&](const fs::directory_entry& entry) {
            const std::string extension = upperExtension(entry.path());
            if (extension != ".DPA" && !(pairRaw && extension == ".DP0")) {
                return;
            }
            const std::string file = entry.path().string();
            std::error_code statusError;
            const fs::file_status status = fs::status(entry.path(), statusError);
            if (fs::is_regular_file(status)) {
                found.push_back(input(file));
            } else if (!fs::is_directory(status)) {
                found.push_back(
                    {file, std::nullopt, unreadableReason(entry.path(), status, statusError)});
            }
        };
        if (recursive) {
            for (const auto& entry : fs::recursive_directory_iterator(
                     path, fs::directory_options::skip_permission_denied, code)) {
                take(entry);
            }
        } else {
            for (const auto& entry : fs::directory_iterator(path, code)) {
                take(entry);
            }
        }
        if (code) {
            error = "cannot read the folder " + path + ": " + code.message();
            return std::nullopt;
        }
        std::sort(found.begin(), found.end(),
                  [](const BatchInput& a, const BatchInput& b) { return a.path < b.path; });
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    return inputs;
}

int runBatch(const std::vector<BatchInput>& inputs, const BatchOptions& options, std::ostream& out,
             std::ostream& err) {
    const std::size_t count = inputs.size();
    std::vector<std::optional<Outcome>> outcomes(count);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            Outcome outcome = analyseFile(inputs[i], options);
            const std::lock_guard lock(mutex);
            outcomes[i] = std::move(outcome);
            ready.notify_one();
        }
    };
    const unsigned threads = static_cast<unsigned>(
        std::clamp<std::size_t>(options.jobs, 1, std::max<std::size_t>(count, 1)));
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }

    // Written in input order as soon as each is ready; each written record is let go. A write
    // that fails ends the batch: no file is analysed for nothing.
    bool anyRefused = false;
    try {
        if (options.format == BatchFormat::Csv) {
            out << analysisCsvHeader(options.input.checks);
        } else if (options.format == BatchFormat::Json) {
            out << "[\n";
        }
        for (std::size_t i = 0; i < count; ++i) {
            Outcome outcome;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return outcomes[i].has_value(); });
                outcome = std::move(*outcomes[i]);
                outcomes[i].reset();
            }
            anyRefused = anyRefused || outcome.refused;
            if (options.format == BatchFormat::Json && i > 0) {
                out << ",\n";
            }
            out << outcome.text;
            if (options.format == BatchFormat::JsonLines) {
                out << '\n';
            }
            if (options.progress) {
                err << "\ranalysed " << (i + 1) << " of " << count << " files" << std::flush;
            }
        }
        if (options.format == BatchFormat::Json) {
            out << "\n]\n";
        }
        out.flush();
    } catch (...) {
        next = count;
        for (std::thread& worker : workers) {
            worker.join();
        }
        throw;
    }
    if (options.progress) {
        err << '\n';
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return anyRefused ? kExitRefused : kExitOk;
}

} // namespace crackdepth::cli
