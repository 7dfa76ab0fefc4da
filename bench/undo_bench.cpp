// Undo and redo of edits on a long line: a re-filter of every point of a 1,000-point line
// (one edit per point, as the filter dialog makes them), and the memory the history holds:
// per re-filter against one waveform, and for a time correction folded into 10,000 points
// against the samples the fold changed.
#include "core/document/commands/report_preparation.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/model/points_edit.h"
#include "core/document/model/scripted_prompts.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

using namespace crackdepth;

namespace {

constexpr std::int32_t kSamples = 1024;

// A non-crossing line of `count` points with a decaying 60 kHz burst each.
DocumentData lineOf(std::int32_t count) {
    DocumentData data;
    auto line = std::make_unique<PointList>();
    line->sampleCount = kSamples;
    std::vector<Sample> samples(kSamples);
    for (std::int32_t k = 0; k < count; ++k) {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = static_cast<double>(i) * 0.4e-6;
            const double wave = 900.0 * std::exp(-t * 4e4) * std::sin(2 * 3.14159265 * 6e4 * t);
            samples[i] = static_cast<Sample>(2048 + static_cast<int>(wave) + (k % 7));
        }
        line->Append(samples, 100.0f + static_cast<float>(k));
        line->cursor()->record.setSamplingInterval(0.4f);
    }
    data.nonCrossingList = std::move(line);
    data.nonCrossingParameters.sampleCount = kSamples;
    data.shown = ShownLine::NonCrossing;
    return data;
}

constexpr FilterSettings kLowPass100{.lowCut = 100, .lowOn = true};

// Re-filters every point once, then times undoing and redoing all of those edits.
void BM_UndoRedoRefilterOfEveryPoint(benchmark::State& state) {
    const auto count = static_cast<std::int32_t>(state.range(0));
    ScriptedPrompts prompts;
    Document document(prompts, {});
    document.Load(lineOf(count));
    for (std::int32_t k = 0; k < count; ++k) {
        document.SelectPoint(kNonCrossingLine, k);
        RefilterCurrentPoint(document, kLowPass100);
    }
    for (auto _ : state) {
        while (document.undoable() != nullptr) {
            document.Undo();
        }
        while (document.redoable() != nullptr) {
            document.Redo();
        }
    }
    const double waveform = kSamples * sizeof(Sample);
    state.counters["edits"] = count;
    state.counters["historyMB"] = static_cast<double>(document.historyBytes()) / 1e6;
    state.counters["perEditWaveforms"] =
        static_cast<double>(document.historyBytes()) / count / waveform;
    state.SetItemsProcessed(state.iterations() * count * 2);
}
BENCHMARK(BM_UndoRedoRefilterOfEveryPoint)->Arg(1000)->Unit(benchmark::kMillisecond);

// The first run of the same edits: filter, keep what changed, announce.
void BM_RefilterEveryPointAsEdits(benchmark::State& state) {
    const auto count = static_cast<std::int32_t>(state.range(0));
    ScriptedPrompts prompts;
    Document document(prompts, {});
    for (auto _ : state) {
        state.PauseTiming();
        document.Load(lineOf(count));
        state.ResumeTiming();
        for (std::int32_t k = 0; k < count; ++k) {
            document.SelectPoint(kNonCrossingLine, k);
            RefilterCurrentPoint(document, kLowPass100);
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RefilterEveryPointAsEdits)->Arg(1000)->Unit(benchmark::kMillisecond);

// Every working and backup waveform of the non-crossing line.
std::vector<std::vector<Sample>> waveformsOf(const Document& document) {
    std::vector<std::vector<Sample>> waveforms;
    const PointList& line = *document.data().nonCrossingList;
    for (std::size_t i = 0; i < line.size(); ++i) {
        waveforms.push_back(line[i].samples);
        waveforms.push_back(line[i].originalSamples);
    }
    return waveforms;
}

// A time correction of the whole document, then the report's fold of it into every waveform:
// the time of the fold, and what the history keeps against the samples that changed.
void BM_FoldTimeCorrection(benchmark::State& state) {
    const auto count = static_cast<std::int32_t>(state.range(0));
    ScriptedPrompts prompts;
    Document document(prompts, {});
    double held = 0;
    double changed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        document.Load(lineOf(count));
        Corrections corrections = correctionsOf(document.data());
        corrections.all = 2.5f;
        document.perform(makeCorrectionsEdit("声时修正", corrections));
        const auto before = waveformsOf(document);
        const std::size_t heldBefore = document.historyBytes();
        state.ResumeTiming();
        PrepareReport(document);
        state.PauseTiming();
        held = static_cast<double>(document.historyBytes() - heldBefore);
        const auto after = waveformsOf(document);
        changed = 0;
        for (std::size_t k = 0; k < before.size(); ++k) {
            if (before[k] != after[k]) {
                changed += static_cast<double>(after[k].size() * sizeof(Sample));
            }
        }
        state.ResumeTiming();
    }
    state.counters["historyMB"] = held / 1e6;
    state.counters["changedMB"] = changed / 1e6;
    state.counters["historyPerChanged"] = changed > 0 ? held / changed : 0;
}
BENCHMARK(BM_FoldTimeCorrection)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
