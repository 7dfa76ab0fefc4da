#include "cli/batch_analyze.h"

#include "cli/analysis_document.h"
#include "cli/output.h"
#include "core/common/utf.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace crackdepth::cli {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

bool isResultFile(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".DPA";
}

// One file's record: the analysis document, or the refusal.
struct Outcome {
    json record;
    bool refused = false;
};

Outcome analyseFile(const std::string& path, const BatchOptions& options) {
    Outcome outcome;
    const auto refuse = [&](const Refusal& refusal) {
        outcome.refused = true;
        outcome.record = {
            {"file", path}, {"error", refusal.message}, {"explanation", refusal.explanation}};
        return outcome;
    };
    try {
        DocumentData data;
        if (const auto refusal = openInput({path}, data)) {
            return refuse(*refusal);
        }
        const auto secondPoint = options.analysis.secondPoint;
        if (secondPoint &&
            *secondPoint >= static_cast<std::int32_t>(data.nonCrossingList->size())) {
            return refuse({"", path + ": --second-point " + std::to_string(*secondPoint) +
                                   " does not exist: the non-crossing line has " +
                                   std::to_string(data.nonCrossingList->size()) + " points"});
        }
        outcome.record = analysisJson(data, AnalyseDocument(data, options.analysis));
    } catch (const std::bad_alloc&) {
        return refuse({"", path + ": out of memory"});
    }
    if (options.minDepth) {
        json kept = json::array();
        for (json& crack : outcome.record["cracks"]) {
            if (!crack["crackDepth"].is_null() &&
                crack["crackDepth"].get<float>() >= *options.minDepth) {
                kept.push_back(std::move(crack));
            }
        }
        outcome.record["cracks"] = std::move(kept);
    }
    outcome.record["file"] = path;
    return outcome;
}

std::string numberText(const json& value) {
    return value.is_null() ? "" : value.dump();
}

void writeCsvHeader(std::ostream& out) {
    out << "\xEF\xBB\xBF" // UTF-8 byte order mark: spreadsheets then read the Chinese texts
        << "file,line,name,method,A,B,crackDepth,crackDepthText,kept,points,error\r\n";
}

void writeCsvRows(std::ostream& out, const Outcome& outcome) {
    const json& r = outcome.record;
    const std::string file = csvField(r["file"].get<std::string>());
    if (outcome.refused) {
        const std::string message = r["error"].get<std::string>();
        out << file << ",,,,,,,,,,"
            << csvField(message.empty() ? r["explanation"].get<std::string>() : message) << "\r\n";
        return;
    }
    const std::string fit = csvField(r["method"].get<std::string>()) + "," + numberText(r["A"]) +
                            "," + numberText(r["B"]);
    for (const json& crack : r["cracks"]) {
        std::size_t kept = 0;
        for (const json& point : crack["points"]) {
            kept += point["kept"].get<int>() == 1 ? 1u : 0u;
        }
        out << file << ',' << crack["line"].dump() << ','
            << csvField(crack["name"].get<std::string>()) << ',' << fit << ','
            << numberText(crack["crackDepth"]) << ','
            << csvField(crack["crackDepthText"].get<std::string>()) << ',' << kept << ','
            << crack["points"].size() << ",\r\n";
    }
}

void writeText(std::ostream& out, const Outcome& outcome) {
    out << "== " << outcome.record["file"].get<std::string>() << '\n';
    if (outcome.refused) {
        const std::string message = outcome.record["error"].get<std::string>();
        if (!message.empty()) {
            out << message << '\n';
        }
        out << "error: " << outcome.record["explanation"].get<std::string>() << "\n\n";
        return;
    }
    printAnalysisText(out, outcome.record);
    out << '\n';
}

} // namespace

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::optional<std::vector<std::string>> batchFiles(const std::vector<std::string>& paths,
                                                   bool recursive, std::string& error) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code code;
        if (!fs::is_directory(path, code)) {
            if (!fs::exists(path, code)) {
                error = "no such file or folder: " + path;
                return std::nullopt;
            }
            files.push_back(path);
            continue;
        }
        std::vector<std::string> found;
        const auto take = [&](const fs::directory_entry& entry) {
            std::error_code ignored;
            if (entry.is_regular_file(ignored) && isResultFile(entry.path())) {
                found.push_back(entry.path().string());
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
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

int runBatch(const std::vector<std::string>& files, const BatchOptions& options, std::ostream& out,
             std::ostream& err) {
    const std::size_t count = files.size();
    std::vector<std::optional<Outcome>> outcomes(count);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            Outcome outcome = analyseFile(files[i], options);
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

    // Written in input order as soon as each is ready; each written record is let go.
    bool anyRefused = false;
    if (options.format == BatchFormat::Csv) {
        writeCsvHeader(out);
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
        switch (options.format) {
        case BatchFormat::JsonLines:
            out << outcome.record.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
            break;
        case BatchFormat::Json:
            out << (i == 0 ? "" : ",\n")
                << outcome.record.dump(1, ' ', false, json::error_handler_t::replace);
            break;
        case BatchFormat::Csv:
            writeCsvRows(out, outcome);
            break;
        case BatchFormat::Text:
            writeText(out, outcome);
            break;
        }
        if (options.progress) {
            err << "\ranalysed " << (i + 1) << " of " << count << " files" << std::flush;
        }
    }
    if (options.format == BatchFormat::Json) {
        out << "\n]\n";
    }
    if (options.progress) {
        err << '\n';
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    out.flush();
    return anyRefused ? kExitRefused : kExitOk;
}

} // namespace crackdepth::cli
