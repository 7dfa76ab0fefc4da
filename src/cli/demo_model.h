// A synthetic measurement set from a physical model of surface waves around a crack: one
// non-crossing line that fixes the sound velocity and several crossing lines, each over a
// crack of known depth. Pure functions, no I/O: the demo command writes what they return.
#pragma once

#include "core/data/point_list.h"
#include "core/data/project_info.h"
#include "core/data/test_parameters.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace crackdepth::cli {

struct DemoModelOptions {
    // Crossing points beyond twice the crack depth start with the opposite polarity, as the
    // wave diffracted round the crack tip does on site.
    bool phaseReversal = true;
};

struct DemoLine {
    std::string fileName; // "DEMO.DP0", "DEMO_C1.DP1", …
    bool crossing = false;
    double trueDepth = 0; // mm, crossing lines only
    TestParameters header;
    PointList points;
};

struct DemoSet {
    std::uint32_t seed = 0;
    double velocity = 0;         // km/s = mm/us
    double zeroOffset = 0;       // coupling and electronics delay t0 added to every path, us
    double frequency = 0;        // centre frequency of the burst on the shortest paths, kHz
    double noiseAmplitude = 0;   // largest noise excursion (at the highest gain), counts
    float samplingInterval = 0;  // us
    std::vector<DemoLine> lines; // the non-crossing line first, then one line per crack
};

inline constexpr std::int32_t kDemoSampleCount = 512;
inline constexpr std::int32_t kDemoCrackCount = 3;

// The whole set for `seed`, always the same for a seed. The random draws do not depend on
// the standard library; the waveforms go through sin, exp and pow, which may differ in the
// last bit between maths libraries and so, very rarely, move a sample by one count.
DemoSet makeDemoSet(std::uint32_t seed, const DemoModelOptions& options = {});

// The project information merged into the demo result file, as an operator would have
// filled it in.
ProjectInfo demoProjectInfo();

inline constexpr const char* kDemoResultFile = "DEMO.DPA";

// The bytes of the raw file for one line.
std::vector<std::uint8_t> encodeDemoLine(const DemoLine& line);

// Transit time of the first arrival over transducer distance L (mm): straight along the
// surface, or down to the tip of a crack of depth h (mm) half-way between the transducers
// and back up. The zero offset t0 (coupling and electronics) counts as an extra path of
// velocity·t0 on both.
double directTransitTime(double distance, double velocity, double zeroOffset);
double crackTransitTime(double distance, double depth, double velocity, double zeroOffset);

// Uniform and normal variates from the raw 32-bit output of the generator, written out so
// that a seed gives the same numbers whatever the standard library.
class DemoRandom {
public:
    explicit DemoRandom(std::uint32_t seed) : engine_(seed) {}
    double uniform();                        // [0, 1), 53 bits
    double uniform(double low, double high); // [low, high)
    int integer(int low, int high);          // [low, high], both included
    double normal();                         // mean 0, standard deviation 1 (Box–Muller)

private:
    std::mt19937 engine_;
    double spareNormal_ = 0;
    bool hasSpare_ = false;
};

} // namespace crackdepth::cli
