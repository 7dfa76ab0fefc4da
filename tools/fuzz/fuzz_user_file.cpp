// The whole path a user's file takes: saved under a name with one of the extensions, opened
// by the file opener (extension and signature checks) and by the document's open flows,
// analysed (the fit, every tab's tables with the crack evaluation) and drawn (trace,
// spectrum, distance-time plot, wave train and its report picture) into a small image.
//
// Input: one selector byte, then the file's bytes. The selector's low three bits choose the
// file name's ending; its bit 3 chooses which real non-crossing file is opened before a
// crossing raw file (the document needs one, with the same test parameters); its bits 4 and 5
// choose the drawing the input is put through.
#include "core/analysis/transit_time.h"
#include "core/data/measurement_file.h"
#include "core/document/model/document.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/scripted_prompts.h"
#include "core/signal/spectrum.h"
#include "draw/distance_time_plot.h"
#include "draw/fonts.h"
#include "draw/wave_train.h"
#include "draw/waveform_display.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

using namespace crackdepth;

namespace {

enum class Drawing : unsigned {
    Waveform,    // the trace and spectrum of the shown point
    Plots,       // the distance-time plot, at the view's rows and fitted
    ViewTrain,   // the view's wave train
    ReportTrain, // the report's picture of the wave train
};

constexpr std::array<const char*, 8> kEndings = {".DP0", ".DP1", ".DPA", ".dpa",
                                                 ".DP0", ".DP1", ".DPA", ".TXT"};
constexpr std::array<const char*, 2> kNonCrossingFiles = {CRACKDEPTH_EXAMPLES_DIR "/DEMO.DP0",
                                                          CRACKDEPTH_FIXTURES_DIR "/SITE.DP0"};

// The file an input is saved as, one per ending, kept open between inputs and overwritten in
// place: opening, writing through a stream, closing and removing a file per input cost more
// system calls than the readers make.
class InputFiles {
public:
    InputFiles() {
        const std::filesystem::path shared = "/dev/shm";
        std::error_code error;
        const auto base = std::filesystem::is_directory(shared, error)
                              ? shared
                              : std::filesystem::temp_directory_path();
        folder_ = base / ("crackdepth-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    ~InputFiles() {
        for (const auto& [ending, descriptor] : descriptors_) {
            if (descriptor >= 0) {
                ::close(descriptor);
            }
        }
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    InputFiles(const InputFiles&) = delete;
    InputFiles& operator=(const InputFiles&) = delete;

    // Saves the bytes under "F" + ending and returns the file's path.
    std::filesystem::path save(const std::string& ending, const std::uint8_t* data,
                               std::size_t size) {
        const auto path = folder_ / ("F" + ending);
        const auto [entry, added] = descriptors_.try_emplace(ending, -1);
        if (added) {
            entry->second = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        }
        const int descriptor = entry->second;
        if (descriptor < 0 || ::pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size) ||
            ::ftruncate(descriptor, static_cast<off_t>(size)) != 0) {
            std::abort(); // the harness cannot save its input
        }
        return path;
    }

private:
    std::filesystem::path folder_;
    std::map<std::string, int> descriptors_;
};

// The current point of the shown line as the waveform view draws it, in both domains.
void drawWaveform(QPainter& painter, const QRectF& rect, const DocumentData& data) {
    const PointList* line = data.shownList();
    if (line == nullptr || line->empty() || line->currentIndex < 0 ||
        static_cast<std::size_t>(line->currentIndex) >= line->size()) {
        return;
    }
    const MeasuringPoint& point = (*line)[static_cast<std::size_t>(line->currentIndex)];
    draw::TraceInput trace;
    trace.samples = point.samples;
    trace.sampleCount = data.shownParameters().sampleCount;
    trace.dt = point.record.samplingInterval();
    trace.delay = point.delay;
    trace.gain = point.gain;
    trace.arrivalIndex = point.arrivalIndex;
    trace.amplitudeIndex = point.amplitudeIndex;
    trace.shift = transitTime(point, data.lineCorrection(), data.correctionAll).shift;
    trace.distance = point.distance;
    trace.crossingLine = !data.showingNonCrossing();
    trace.hoverX = rect.center().x();
    draw::drawTrace(painter, rect, trace, draw::DisplayStyle{});

    draw::SpectrumInput spectrum;
    spectrum.spectrum = Spectrum(point.samples, trace.sampleCount, trace.dt, spectrum.refine);
    spectrum.dt = trace.dt;
    spectrum.crossingLine = trace.crossingLine;
    draw::drawSpectrum(painter, rect, spectrum, draw::DisplayStyle{});
}

// The distance-time plot of the non-crossing line, at the view's row height and fitted as in
// a report. It is the same on every tab, so it is drawn once.
void drawPlots(QPainter& painter, const QRectF& rect, const DocumentData& data,
               const DocumentAnalysis& analysis) {
    if (!data.nonCrossingList) {
        return;
    }
    draw::PlotInput plot = draw::plotInputOf(*data.nonCrossingList, data.nonCrossingParameters,
                                             data.nonCrossingCorrections(), analysis.fit);
    plot.rowHeight = draw::fitPlotRowHeight(rect.height(), plot.axis);
    draw::drawDistanceTimePlot(painter, rect, plot, draw::DisplayStyle{});
    plot.fitRowHeight = true;
    draw::drawDistanceTimePlot(painter, rect, plot, draw::DisplayStyle{});
}

// The wave train of the selected tab as the view draws it, or, for `report`, as the report
// pictures it. Each wave train costs a table over the line's whole range of sample values.
void drawTrain(QPainter& painter, const QRectF& rect, const DocumentData& data, bool report) {
    if (data.shownList() == nullptr) {
        return;
    }
    draw::WaveTrainInput train = draw::waveTrainInputOf(*data.shownList(), data.tabCorrections(),
                                                        !data.showingNonCrossing());
    if (report) {
        const auto last = static_cast<std::int32_t>(train.traces.size()) - 1;
        draw::WaveTrainPicture(painter, rect.toRect(), train, 0, last, draw::kBitmapPageLayout,
                               draw::DisplayStyle{});
    } else {
        train.rowHeight = draw::fitTrainRowHeight(
            rect.height(), static_cast<std::int32_t>(train.traces.size()), train.rowHeight);
        draw::drawWaveTrain(painter, rect, train, draw::DisplayStyle{});
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Text needs a font database, which needs the application object.
    static QGuiApplication application(*argc, *argv);
    draw::installFontSubstitutions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    static InputFiles files;
    const std::uint8_t selector = data[0];
    const std::string ending = kEndings[selector & 7u];
    const auto path = files.save(ending, data + 1, size - 1);

    MeasurementFile file;
    OpenFailure failure;
    const bool openerRead = openMeasurementFile(path, file, failure);

    ScriptedPrompts prompts;
    Document document(prompts, {});
    if (ending == ".DP1" && !document.OpenDocument(kNonCrossingFiles[(selector >> 3) & 1u])) {
        std::abort(); // a real file the program must open
    }
    const bool documentRead = document.OpenDocument(path.string());
    // The document reads what the opener reads (a crossing raw file must also match the
    // non-crossing line's test parameters).
    if (documentRead && !openerRead) {
        std::abort();
    }
    if (openerRead != documentRead && ending != ".DP1") {
        std::abort();
    }
    if (!documentRead) {
        return 0;
    }

    const auto drawing = static_cast<Drawing>((selector >> 4) & 3u);
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRectF rect(0, 0, image.width(), image.height());
    const std::int32_t tabs = crossingTabCount(document.data());
    for (std::int32_t tab = 0; tab <= tabs; ++tab) {
        document.SelectTab(tab);
        const DocumentAnalysis analysis = AnalyseDocument(document.data());
        // The non-crossing tab as the views show it; the last tab's waveform as the view shows
        // it and its wave train as a report pictures it (a lone non-crossing line's both
        // ways). The other tabs would only repeat them, and the plot is the same on every tab.
        // One kind of drawing per input, chosen by the selector: drawing costs most of an
        // execution, and the fuzzer varies the selector like any other byte, so each kind
        // still meets the files it makes.
        const bool first = tab == 0;
        const bool last = tab == tabs;
        switch (drawing) {
        case Drawing::Waveform:
            if (first || last) {
                drawWaveform(painter, rect, document.data());
            }
            break;
        case Drawing::Plots:
            if (first) {
                drawPlots(painter, rect, document.data(), analysis);
            }
            break;
        case Drawing::ViewTrain:
            if (first) {
                drawTrain(painter, rect, document.data(), false);
            }
            break;
        case Drawing::ReportTrain:
            if (last) {
                drawTrain(painter, rect, document.data(), true);
            }
            break;
        }
    }
    return 0;
}
