// Compares onset times (seconds, one a line, as aubioonset prints them) with
// the demo's cuts and prints how many cuts have an onset nearby, against the
// same share for random times.
//
//   velmorra_sync_report ONSETS.txt [MUSIC_SECONDS]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

#include "sequence/cut_list.h"

namespace {

constexpr double windowMs = 15.0;
constexpr int randomTimes = 20000;

double nearestOnsetMs(const std::vector<double>& onsets, double ms) {
    auto after = std::lower_bound(onsets.begin(), onsets.end(), ms);
    double best = INFINITY;
    if (after != onsets.end()) {
        best = *after - ms;
    }
    if (after != onsets.begin()) {
        best = std::min(best, ms - *(after - 1));
    }
    return best;
}

const char* kindName(CutKind kind) {
    switch (kind) {
        case CutKind::SceneChange:
            return "scene change";
        case CutKind::CameraCut:
            return "camera cut";
        case CutKind::PictureChange:
            return "picture change";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmorra_sync_report ONSETS.txt [MUSIC_SECONDS]\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "velmorra_sync_report: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<double> onsets;
    for (double seconds; in >> seconds;) {
        onsets.push_back(seconds * 1000.0);
    }
    std::sort(onsets.begin(), onsets.end());
    const double musicMs = argc > 2 ? std::atof(argv[2]) * 1000.0 : demoEndTime;

    struct Distance {
        double ms;
        Cut cut;
    };
    std::vector<Distance> distances;
    for (const Cut& cut : listCuts()) {
        distances.push_back({nearestOnsetMs(onsets, cut.ms), cut});
    }
    if (distances.empty() || onsets.empty()) {
        std::fprintf(stderr, "velmorra_sync_report: no cuts or no onsets\n");
        return 1;
    }
    const auto within = [](double ms) { return ms <= windowMs; };
    const long hits = std::count_if(distances.begin(), distances.end(),
                                    [&](const Distance& d) { return within(d.ms); });
    std::vector<double> sorted;
    for (const Distance& d : distances) {
        sorted.push_back(d.ms);
    }
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 == 1 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);

    // A fixed seed, so that the figure is the same on every run.
    std::mt19937 random(20261210u);
    std::uniform_real_distribution<double> anywhere(0.0, musicMs);
    int randomHits = 0;
    for (int i = 0; i < randomTimes; ++i) {
        randomHits += within(nearestOnsetMs(onsets, anywhere(random))) ? 1 : 0;
    }

    std::printf("onsets: %zu in %.1f s\n", onsets.size(), musicMs / 1000.0);
    std::printf("cuts: %zu, with an onset within %.0f ms: %ld (%.1f%%)\n", n, windowMs, hits,
                100.0 * hits / n);
    std::printf("median distance from a cut to its nearest onset: %.1f ms\n", median);
    std::printf("random times: %d, with an onset within %.0f ms: %d (%.1f%%)\n", randomTimes,
                windowMs, randomHits, 100.0 * randomHits / randomTimes);
    std::sort(distances.begin(), distances.end(),
              [](const Distance& a, const Distance& b) { return a.ms > b.ms; });
    std::printf("worst cuts:\n");
    for (size_t i = 0; i < std::min<size_t>(10, n); ++i) {
        std::printf("  %7u ms  %-14s  nearest onset %.1f ms away\n", distances[i].cut.ms,
                    kindName(distances[i].cut.kind), distances[i].ms);
    }
    return 0;
}
