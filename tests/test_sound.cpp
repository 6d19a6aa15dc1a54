#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/program_directory.h"
#include "sound/music_stream.h"
#include "sound/sound_errors.h"
#include "sound/sound_library.h"
#include "support/jpeg_encode.h"
#include "support/process.h"
#include "support/tone.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------- error texts

TEST(SoundErrorText, KnownAndUnknownCodes) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0, "No errors"},
        {1, "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first."},
        {3, "Error initializing output device."},
        {5, "Playing the sound failed."},
        {9, "File not found"},
        {10, "Unknown file format"},
        {12, "Not enough memory "},
        {14, "An invalid parameter was passed to this function"},
        {17, "Failed to allocate a new channel"},
        {19, "Required Mediaplayer codec is not installed"},
        {20, "Unknown error"},
        {1000, "Unknown error"},
        {-1, "Unknown error"},
        {INT32_MIN, "Unknown error"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(soundErrorText(c.code), c.text) << "code " << c.code;
    }
}

// -------------------------------------------------------------- the library

// Every test starts and ends with the library closed, on the dummy driver.
class SoundLibraryTest : public testing::Test {
protected:
    static void SetUpTestSuite() { sine = toneMp3(1.0, 440.0); }

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_FALSE(sine.empty());
    }
    void TearDown() override {
        for (SoundStream* stream : streams) {
            soundStreamClose(stream);
        }
        soundClose();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    SoundStream* open(const std::vector<unsigned char>& data) {
        SoundStream* stream = soundStreamOpenMemory(data.data(), data.size());
        if (stream != nullptr) {
            streams.push_back(stream);
        }
        return stream;
    }

    static inline std::vector<unsigned char> sine;
    std::vector<SoundStream*> streams;
};

TEST_F(SoundLibraryTest, PlaysAnMp3FromMemoryAndClosesStreamThenLibrary) {
    ASSERT_TRUE(soundInit(44100, 32));
    int frequency = 0;
    Uint16 format = 0;
    int outputs = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &outputs), 1);
    EXPECT_EQ(frequency, 44100);
    EXPECT_EQ(outputs, 2);
    EXPECT_EQ(Mix_AllocateChannels(-1), 32);

    SoundStream* stream = open(sine);
    ASSERT_NE(stream, nullptr) << soundErrorText(soundGetError());
    EXPECT_EQ(Mix_PlayingMusic(), 0) << "opening must not start the stream";
    const int channel = soundStreamPlay(stream);
    ASSERT_GE(channel, 0);
    EXPECT_LT(channel, 32);
    EXPECT_NE(Mix_PlayingMusic(), 0);
    EXPECT_TRUE(soundSetPan(channel, -1));
    EXPECT_EQ(soundGetError(), soundErrorNone);

    streams.clear();
    EXPECT_TRUE(soundStreamClose(stream));
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    soundClose();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "output still open after close";

    // Closed means closed: the library can be opened again.
    EXPECT_TRUE(soundInit(44100, 32));
}

TEST_F(SoundLibraryTest, DataThatIsNotAnMp3FailsAtPlayWithUnknownFormat) {
    std::vector<unsigned char> text(std::string_view("this is no music\n").begin(),
                                    std::string_view("this is no music\n").end());
    std::vector<unsigned char> noise(4096);
    uint32_t state = 12345;
    for (unsigned char& byte : noise) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(state >> 24);
    }
    std::vector<unsigned char> headerOnly(sine.begin(), sine.begin() + 4);
    const struct {
        const char* name;
        std::vector<unsigned char> data;
    } cases[] = {
        {"text", text}, {"noise", noise}, {"four bytes of an mp3", headerOnly}, {"empty", {}}};

    ASSERT_TRUE(soundInit(44100, 32));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SoundStream* stream = open(c.data);
        EXPECT_EQ(stream, nullptr);
        EXPECT_EQ(soundGetError(), soundErrorUnknownFormat);
        // Play is where the failure shows, with the open's reason.
        EXPECT_EQ(soundStreamPlay(stream), -1);
        EXPECT_EQ(soundGetError(), soundErrorUnknownFormat);
        EXPECT_EQ(Mix_PlayingMusic(), 0);
    }
}

TEST_F(SoundLibraryTest, MisuseIsReportedWithItsCode) {
    // Nothing works before the library is open.
    EXPECT_EQ(soundStreamOpenMemory(sine.data(), sine.size()), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorNotInitialised);
    EXPECT_FALSE(soundSetPan(0, -1));
    EXPECT_EQ(soundGetError(), soundErrorNotInitialised);

    ASSERT_TRUE(soundInit(44100, 32));
    EXPECT_FALSE(soundInit(44100, 32));
    EXPECT_EQ(soundGetError(), soundErrorAlreadyInitialised);

    const struct {
        int channel;
        int pan;
        bool accepted;
    } pans[] = {{0, -1, true},   {31, 255, true}, {0, 128, true}, {32, -1, false},
                {-1, -1, false}, {0, 256, false}, {0, -2, false}};
    for (const auto& p : pans) {
        EXPECT_EQ(soundSetPan(p.channel, p.pan), p.accepted) << p.channel << ", " << p.pan;
    }

    SoundStream* first = open(sine);
    SoundStream* second = open(sine);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_GE(soundStreamPlay(first), 0);
    EXPECT_EQ(soundStreamPlay(second), -1) << "two streams on one music channel";
    EXPECT_EQ(soundGetError(), soundErrorChannelAllocation);
}

TEST_F(SoundLibraryTest, HandlesOutliveTheLibrary) {
    ASSERT_TRUE(soundInit(44100, 32));
    SoundStream* stream = open(sine);
    ASSERT_NE(stream, nullptr);
    ASSERT_GE(soundStreamPlay(stream), 0);
    soundClose();
    EXPECT_EQ(soundStreamPlay(stream), -1);
    EXPECT_EQ(soundGetError(), soundErrorNotInitialised);
    ASSERT_TRUE(soundInit(44100, 32));
    EXPECT_EQ(soundStreamPlay(stream), -1) << "its data went with the old library";
    streams.clear();
    EXPECT_TRUE(soundStreamClose(stream));
    EXPECT_FALSE(soundStreamClose(stream));
}

TEST_F(SoundLibraryTest, NoOutputDeviceIsAnInitialisationError) {
    setenv("SDL_AUDIODRIVER", "velmorra-no-such-driver", 1);
    EXPECT_FALSE(soundInit(44100, 32));
    EXPECT_EQ(soundGetError(), soundErrorOutputDevice);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(soundInit(44100, 32)) << "a failed init must leave nothing half open";
}

// ------------------------------------------------------------ music stream

class MusicStreamTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("VELMORRA_NO_DIALOGS", "1", 1);
        directory = makeTemporaryDirectory("music");
        fs::create_directories(directory + "/data");
        setProgramDirectory(directory + "/");
    }
    void TearDown() override { fs::remove_all(directory); }

    void writeMusic(const std::string& name, const std::vector<uint8_t>& data) {
        ASSERT_TRUE(writeFile(directory + "/" + name, data));
    }

    std::string directory;
};

TEST_F(MusicStreamTest, OpensAtConstructionPlaysOnRequestClosesOnDelete) {
    writeMusic("data/music.mp3", toneMp3(0.5, 440.0));
    auto* music = new MusicStream("data/music.mp3");
    int frequency = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, nullptr, nullptr), 1);
    EXPECT_EQ(frequency, 44100);
    EXPECT_EQ(Mix_AllocateChannels(-1), 32);
    EXPECT_EQ(Mix_PlayingMusic(), 0) << "the music starts only with play()";
    EXPECT_EQ(music->playingChannel(), -1);

    music->play();
    EXPECT_GE(music->playingChannel(), 0);
    EXPECT_NE(Mix_PlayingMusic(), 0);

    delete music;
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "library left open";
}

using MusicStreamDeathTest = MusicStreamTest;

TEST_F(MusicStreamDeathTest, FailuresShowTheFmodBoxAndExitWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fs::create_directories(directory + "/data/folder.mp3");
    writeMusic("data/empty.mp3", {});
    writeMusic("data/notes.mp3", {'n', 'o', 't', 'e', 's'});
    const struct {
        const char* name;
        const char* record;
    } cases[] = {
        {"data/absent.mp3", "FMOD: File not found data/absent.mp3\n"},
        {"data\\absent.mp3", "FMOD: File not found data\\\\absent.mp3\n"},
        {"data/empty.mp3", "FMOD: Unknown file format\n"},
        {"data/notes.mp3", "FMOD: Unknown file format\n"},
        {"data/folder.mp3", "FMOD: Unknown file format\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                MusicStream music(c.name);
                music.play();
                std::exit(0);
            },
            testing::ExitedWithCode(1), c.record);
    }
}

}  // namespace
