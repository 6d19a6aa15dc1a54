// mediagen: makes every picture and the soundtrack of the demo.
//
//   mediagen [OUTPUT_DIR] [--contact-sheet=FILE.png]
//
// Writes the files of the asset list into OUTPUT_DIR (default "data") and,
// when asked, a contact sheet of all pictures. The output depends on nothing
// but this program: fixed seeds, no time stamps, and the threads below each
// produce their own files.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "asset_names.h"
#include "audio.h"
#include "contact_sheet.h"
#include "jpeg_writer.h"
#include "mp3.h"
#include "pictures.h"
#include "sequence/cut_list.h"
#include "soundtrack.h"

namespace {

constexpr int pictureQuality = 92;
constexpr int maskQuality = 95;

bool writePictures(const std::string& dir, int part, int parts, std::string& error) {
    Font bold(boldFontPath), mono(monoFontPath);
    if (!bold.ok() || !mono.ok()) {
        error = bold.ok() ? mono.error() : bold.error();
        return false;
    }
    Fonts fonts{bold, mono};
    int index = 0;
    for (const assets::Picture& p : assets::pictures) {
        if (index++ % parts != part || p.use == assets::Use::Mask) {
            continue;  // masks are written with their colour picture
        }
        std::string path = dir + "/" + std::string(p.file);
        bool ok = true;
        switch (p.use) {
            case assets::Use::FullScreen:
                ok = writeJpeg(path, makeFullScreen(p.file, fonts), pictureQuality, false, error);
                break;
            case assets::Use::Cutout: {
                CutoutPair pair = makeCutout(p.file, fonts);
                ok = writeJpeg(path, pair.colour, pictureQuality, false, error);
                // A shared mask is written once, by the picture that owns it.
                std::string_view own = p.file.substr(0, p.file.size() - 4);
                if (ok && p.alpha.starts_with(own) && p.alpha[own.size()] == '_') {
                    ok = writeJpeg(dir + "/" + std::string(p.alpha), pair.mask, maskQuality, true,
                                   error);
                }
                break;
            }
            case assets::Use::Grain:
                ok = writeJpeg(path, makeGrain(p.file == "nois1.jpg" ? 0 : 1, p.side), maskQuality,
                               true, error);
                break;
            default:
                ok = writeJpeg(path, makeTexture(p.file, fonts), maskQuality,
                               p.use == assets::Use::Pixelated, error);
                break;
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The demo's own cuts, as the soundtrack marks them.
std::vector<soundtrack::CutMark> demoCutMarks() {
    std::vector<soundtrack::CutMark> marks;
    for (const Cut& cut : listCuts()) {
        soundtrack::Accent accent = soundtrack::Accent::Picture;
        if (cut.kind == CutKind::SceneChange) {
            accent = soundtrack::Accent::Scene;
        } else if (cut.kind == CutKind::CameraCut) {
            accent = soundtrack::Accent::Camera;
        }
        marks.push_back({static_cast<double>(cut.ms), accent});
    }
    return marks;
}

bool writeMusic(const std::string& dir, std::string& report, std::string& error) {
    Stereo raw = soundtrack::synthesise(demoCutMarks());
    std::string path = dir + "/" + std::string(assets::musicFile);
    double ceiling = soundtrack::ceilingDb;
    // The encoder can overshoot the sample peak; check the decoded file and
    // lower the ceiling if it went above -1 dBFS.
    for (int attempt = 0; attempt < 3; ++attempt) {
        Stereo audio = raw;
        double lufs = soundtrack::master(audio, ceiling);
        if (!encodeMp3(audio, 192, path, error)) {
            return false;
        }
        Stereo decoded;
        int channels = 0;
        if (!decodeMp3(path, decoded, channels, error)) {
            return false;
        }
        double peak = toDecibels(samplePeak(decoded));
        char line[160];
        std::snprintf(
            line, sizeof line,
            "music: %.2f s, %.2f LUFS, peak %.2f dBFS before and %.2f dBFS after encoding",
            decoded.frames() / static_cast<double>(decoded.rate), lufs,
            toDecibels(samplePeak(audio)), peak);
        report = line;
        if (peak <= -1.05) {
            return true;
        }
        ceiling -= peak + 1.05 + 0.1;
    }
    error = "the encoded music peaks above -1 dBFS: " + report;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = "data", sheet;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.starts_with("--contact-sheet=")) {
            sheet = arg.substr(16);
        } else if (arg.starts_with("-")) {
            std::fprintf(stderr, "usage: mediagen [OUTPUT_DIR] [--contact-sheet=FILE.png]\n");
            return 2;
        } else {
            dir = arg;
        }
    }
    auto started = std::chrono::steady_clock::now();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);

    // Music on one thread, pictures shared between this one and a second.
    std::string musicReport, musicError, pictureError[2];
    bool musicOk = false, picturesOk[2] = {false, false};
    std::thread music([&] { musicOk = writeMusic(dir, musicReport, musicError); });
    std::thread pictures([&] { picturesOk[1] = writePictures(dir, 1, 2, pictureError[1]); });
    picturesOk[0] = writePictures(dir, 0, 2, pictureError[0]);
    pictures.join();
    music.join();

    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        if (!picturesOk[i]) {
            std::fprintf(stderr, "mediagen: %s\n", pictureError[i].c_str());
            ok = false;
        }
    }
    if (!musicOk) {
        std::fprintf(stderr, "mediagen: %s\n", musicError.c_str());
        ok = false;
    }
    if (!ok) {
        return 1;
    }
    std::string error;
    if (!sheet.empty() && !writeContactSheet(dir, sheet, error)) {
        std::fprintf(stderr, "mediagen: %s\n", error.c_str());
        return 1;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("mediagen: %s\n", musicReport.c_str());
    std::printf("mediagen: %d pictures and %s written to %s in %.2f s\n", assets::pictureCount,
                std::string(assets::musicFile).c_str(), dir.c_str(), seconds);
    return 0;
}
