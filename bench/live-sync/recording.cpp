#include "recording.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>

std::vector<double> readNumbers(const std::string& path) {
    std::vector<double> numbers;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            continue;
        }
        char* end = nullptr;
        const double value = std::strtod(line.c_str(), &end);
        if (end != line.c_str()) {
            numbers.push_back(value);
        }
    }
    return numbers;
}

double quantile(std::vector<double> values, double q) {
    if (values.empty()) {
        return NAN;
    }
    std::sort(values.begin(), values.end());
    const double rank = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(rank);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (rank - static_cast<double>(below)) * (values[above] - values[below]);
}

std::vector<float> loudnessEnvelope(const std::string& wavPath) {
    std::ifstream in(wavPath, std::ios::binary);
    char riff[12];
    std::vector<float> envelope;
    if (!in.read(riff, sizeof riff) || std::string(riff, 4) != "RIFF") {
        return envelope;
    }
    // Reads the rate from "fmt " and skips the other chunks before "data"
    // (ffmpeg writes a LIST chunk first).
    char header[8];
    uint32_t size = 0;
    uint32_t rate = 0;
    uint16_t channels = 0;
    while (in.read(header, sizeof header)) {
        std::memcpy(&size, header + 4, sizeof size);
        if (std::string(header, 4) == "data") {
            break;
        }
        std::vector<char> chunk(size + (size & 1));
        if (!in.read(chunk.data(), chunk.size())) {
            return envelope;
        }
        if (std::string(header, 4) == "fmt " && size >= 16) {
            std::memcpy(&channels, chunk.data() + 2, sizeof channels);
            std::memcpy(&rate, chunk.data() + 4, sizeof rate);
        }
    }
    if (rate == 0 || channels != 2) {
        return envelope;
    }
    // Frame f belongs to millisecond f * 1000 / rate, so the curve keeps the
    // sound's own time to the end.
    std::vector<int16_t> samples(2 * rate);
    int64_t frame = 0;
    double sum = 0.0;
    int count = 0;
    while (in.read(reinterpret_cast<char*>(samples.data()), samples.size() * sizeof(int16_t)) ||
           in.gcount() > 0) {
        const size_t frames = static_cast<size_t>(in.gcount()) / (2 * sizeof(int16_t));
        for (size_t i = 0; i < frames; ++i, ++frame) {
            if (static_cast<size_t>(frame * 1000 / rate) > envelope.size() && count > 0) {
                envelope.push_back(static_cast<float>(sum / count));
                sum = 0.0;
                count = 0;
            }
            sum += std::abs(static_cast<int>(samples[2 * i])) +
                   std::abs(static_cast<int>(samples[2 * i + 1]));
            ++count;
        }
    }
    // Averaged over 10 ms, so that two curves a millisecond apart still agree.
    constexpr size_t smoothing = 10;
    std::vector<float> smooth(envelope.size());
    double running = 0.0;
    for (size_t k = 0; k < envelope.size(); ++k) {
        running += envelope[k] - (k >= smoothing ? envelope[k - smoothing] : 0.0f);
        smooth[k] = static_cast<float>(running / smoothing);
    }
    return smooth;
}

namespace {

// Sound times from sample positions: the recorder stamps the first packet
// with the wall clock; later packets' stamps follow the monitor's bursts, not
// its samples, while the null sink plays samples at the system clock's pace.
std::vector<double> onsetsOnTheWallClock(const std::vector<double>& onsetSeconds,
                                         const std::string& audioPackets) {
    std::vector<double> onsets;
    const std::vector<double> packets = readNumbers(audioPackets);
    if (packets.empty()) {
        return onsets;
    }
    for (double seconds : onsetSeconds) {
        onsets.push_back((packets.front() + seconds) * 1000.0);
    }
    return onsets;
}

}  // namespace

bool readRecording(const std::string& frames, int width, int height, const std::string& frameTimes,
                   const std::string& audioPackets, const std::string& onsets,
                   const std::string& sound, Recording& recording, std::string& error) {
    for (double seconds : readNumbers(frameTimes)) {
        recording.frameMs.push_back(seconds * 1000.0);
    }
    std::ifstream pictures(frames, std::ios::binary);
    const size_t size = static_cast<size_t>(width) * height;
    std::vector<uint8_t> previous(size), current(size);
    for (size_t i = 0; i < recording.frameMs.size(); ++i) {
        if (!pictures.read(reinterpret_cast<char*>(current.data()), size)) {
            error = frames + " holds fewer frames than " + frameTimes + " has times";
            return false;
        }
        double change = 0.0, sum = 0.0;
        for (size_t p = 0; p < size; ++p) {
            change += std::abs(current[p] - previous[p]);
            sum += current[p];
        }
        recording.changes.push_back(i == 0 ? 0.0 : change / size);
        recording.brightness.push_back(sum / size);
        previous.swap(current);
    }
    if (recording.frameMs.empty()) {
        error = "no video frames in " + frameTimes;
        return false;
    }
    recording.onsetMs = onsetsOnTheWallClock(readNumbers(onsets), audioPackets);
    recording.envelope = loudnessEnvelope(sound);
    const std::vector<double> packets = readNumbers(audioPackets);
    recording.soundStartMs = packets.empty() ? 0.0 : packets.front() * 1000.0;
    if (recording.onsetMs.empty()) {
        error = "no sound onsets in " + onsets + " (or no packets in " + audioPackets + ")";
        return false;
    }
    if (recording.envelope.empty()) {
        error = sound + " is no 16-bit stereo WAV";
        return false;
    }
    return true;
}
