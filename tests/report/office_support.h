// For the tests of the office reports: documents loaded as the command-line tool loads them,
// a package's parts read back as a zip, and the text an office program shows of a file.
#pragma once

#include "report_documents.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <zip.h>

namespace crackdepth::report::testing {

inline DocumentData loadDocument(const std::string& path) {
    DocumentData data = loadResultDocument(path);
    EXPECT_TRUE(data.nonCrossingList != nullptr) << path << " cannot be read";
    return data;
}

inline DocumentData demoDocument() {
    return loadDocument(std::string(CRACKDEPTH_EXAMPLES_DIR) + "/DEMO.DPA");
}

inline DocumentData manyCracks(std::size_t cracks, std::size_t points) {
    return withManyCracks(demoDocument(), cracks, points);
}

// Every part of a zip file by name; empty when it is no zip.
inline std::map<std::string, std::string> packageParts(const std::filesystem::path& path) {
    std::map<std::string, std::string> parts;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        return parts;
    }
    for (zip_int64_t k = 0; k < zip_get_num_entries(archive, 0); ++k) {
        zip_stat_t stat;
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(k), 0);
        if (file == nullptr || zip_stat_index(archive, static_cast<zip_uint64_t>(k), 0, &stat)) {
            continue;
        }
        std::string bytes(stat.size, '\0');
        const zip_int64_t got = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        if (got == static_cast<zip_int64_t>(stat.size)) {
            parts[stat.name] = std::move(bytes);
        }
    }
    zip_discard(archive);
    return parts;
}

// What a shell command prints, and whether it succeeded.
inline std::pair<std::string, bool> shellOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {out, false};
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, got);
    }
    return {out, ::pclose(pipe) == 0};
}

inline std::string quoted(const std::string& text) {
    std::string q = "'";
    for (const char c : text) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

inline std::string fixed2(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

inline bool officeInstalled() {
    return std::filesystem::exists("/usr/bin/soffice") &&
           shellOutput("command -v pdftotext").second;
}

// The text of `file` as an office program shows it: converted to PDF by LibreOffice (with a
// profile of its own, so that runs side by side and a user's office do not clash), then to
// text. Fails the test, returning empty, when the conversion fails.
inline std::string officeText(const std::filesystem::path& file) {
    const std::string folder = file.parent_path().string();
    const auto [log, converted] =
        shellOutput("cd " + quoted(folder) + " && timeout 180 /usr/bin/soffice " +
                    quoted("-env:UserInstallation=file://" + folder + "/profile") +
                    " --headless --convert-to pdf --outdir " + quoted(folder) + " " +
                    quoted(file.filename().string()) + " 2>&1");
    const std::filesystem::path pdf = std::filesystem::path(file).replace_extension(".pdf");
    EXPECT_TRUE(converted && std::filesystem::exists(pdf)) << log;
    const auto [text, read] = shellOutput("pdftotext -layout " + quoted(pdf.string()) + " -");
    EXPECT_TRUE(read);
    return text;
}

} // namespace crackdepth::report::testing
