// The commands of crackdepth-cli. Each takes the words after its name and returns the exit
// status; stdout carries the result, stderr the diagnostics.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace crackdepth::cli {

using Words = std::vector<std::string>;

int runInfo(const Words& words, std::ostream& out, std::ostream& err);
int runDemo(const Words& words, std::ostream& out, std::ostream& err);
int runAnalyze(const Words& words, std::ostream& out, std::ostream& err);
int runSpectrum(const Words& words, std::ostream& out, std::ostream& err);
int runFilter(const Words& words, std::ostream& out, std::ostream& err);
int runMerge(const Words& words, std::ostream& out, std::ostream& err);
int runPick(const Words& words, std::ostream& out, std::ostream& err);
// The report command, in crackdepth-cli-report; runReportProgram starts that program beside
// this one with the same words and gives its exit status.
int runReport(const Words& words, std::ostream& out, std::ostream& err);
int runReportProgram(const Words& words, std::ostream& out, std::ostream& err);

} // namespace crackdepth::cli
