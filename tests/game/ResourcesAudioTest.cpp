#include "ScriptedResources.h"
#include "audio/AudioTestData.h"
#include <audio/AudioClipCursor.h>
#include <lua/LuaException.h>
#include <cstdlib>
#include <fstream>

namespace
{

using audiotest::Bytes;

/** Offset of the samples in the WAV files written here: RIFF header, fmt chunk, data header. */
const int WAV_DATA_OFFSET = 44;

class ResourcesAudio : public ScriptedResources
{
protected:
	/** Two seconds of a stereo tone: it keeps playing while a test looks. */
	const Bytes wav = audiotest::wavFile({{"fmt ", audiotest::fmtBody(1, 2, 44100, 16)},
		{"data", audiotest::sine16(88200, 2, 44100, 440.0, 8000.0)}});

	ResourcesAudio()
	{
		// No sound card needed: OpenAL's null device plays in real time (unless told otherwise).
		setenv("ALSOFT_DRIVERS", "null", 0);
		saveBytes("tone.wav", wav);
	}

	void saveBytes(const std::string& name, const Bytes& bytes) const
	{
		std::ofstream(dir.file(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
	}

	void startOutput()									{ run("res.createAudioOutput(2, 16, 44100) res.startAudioOutput()"); }

	/** Bytes of a clip's sound from an offset. */
	Bytes soundOf(const char* name, int offset, int bytes) const
	{
		Bytes data(static_cast<size_t>(bytes));
		lang::Ptr<audio::AudioClipCursor> cursor = new audio::AudioClipCursor;
		cursor->position = offset;
		registry.getAudio(name)->getData(data.data(), bytes, cursor);
		return data;
	}
};

TEST_F(ResourcesAudio, WithoutAnOutputPlayingThrowsAndQueriesGiveNothing)
{
	const struct
	{
		const char* script;
		const char* message;
	} cases[] = {
		{"res.createAudio('tone.wav', 'beep')", "Trying to create audio but no audio output has been created"},
		{"res.playAudio('beep')", "Trying to play audio clip but no audio output has been created"},
		{"res.stopAudio('beep')", "Trying to stop audio clip but no audio output has been created"},
		{"res.stopAllAudio()", "Trying to stop all audio clips but no audio output has been created"},
		{"res.startAudioOutput()", "Trying to start audio output but no audio output has been created"},
		{"res.startAudioInput()", "Trying to start audio input but no audio input has been created"},
		{"res.stopAudioOutput() res.stopAudioInput() res.setMasterVolume(0.5) res.setTrackVolume(0.5, 0)", "no exception"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.message, error(c.script)) << c.script;
	EXPECT_FALSE(boolean("res.isAudioPlaying('beep') or res.isAudioPlaying(0)"));
	EXPECT_EQ(std::vector<float>({0}), numbers("res.getTrackVolume(0)"));
	EXPECT_EQ(0.f, res->getMasterVolume());
}

TEST_F(ResourcesAudio, PlayedClipIsFoundByIdNumericStringAndName)
{
	startOutput();
	run("res.createAudio('tone.wav', 'beep') id = res.playAudio('beep')");
	const float id = numbers("id")[0];
	EXPECT_GE(id, 0.f);
	EXPECT_TRUE(boolean("res.isAudioPlaying(id) and res.isAudioPlaying(tostring(id)) and res.isAudioPlaying('beep')"));
	EXPECT_FALSE(boolean("res.isAudioPlaying({}) or res.isAudioPlaying(id + 1) or res.isAudioPlaying('other')"));
	EXPECT_EQ(std::vector<float>({-1}), numbers("res.playAudio('other')"));
	run("res.stopAudio('beep')");
	EXPECT_FALSE(boolean("res.isAudioPlaying(id)"));
}

TEST_F(ResourcesAudio, PlayWithOnlyANameUsesTrackZero)
{
	startOutput();
	registry.getAudioOutput()->setClipCountLimit(0, 1);
	run("res.createAudio('tone.wav', 'beep')");
	EXPECT_EQ(std::vector<float>({0, -1, 1}), numbers("res.playAudio('beep'), res.playAudio('beep', 1, false, 0), res.playAudio('beep', 1, false, 1)"));
	EXPECT_EQ("no exception", error("res.stopAllAudio()"));
	EXPECT_FALSE(boolean("res.isAudioPlaying('beep')"));

	run("res.setTrackVolume(0.5, 1.9) res.setMasterVolume(0.25)");
	EXPECT_EQ(std::vector<float>({1, 0.5}), numbers("res.getTrackVolume(0), res.getTrackVolume(1)"));
	EXPECT_EQ(0.25f, res->getMasterVolume());
}

TEST_F(ResourcesAudio, ReplacingAPlayingClipStopsIt)
{
	startOutput();
	run("res.createAudio('tone.wav', 'beep') id = res.playAudio('beep', 0.5, true)");
	EXPECT_TRUE(boolean("res.isAudioPlaying(id)"));
	run("res.createAudio('tone.wav', 'beep', false)");
	EXPECT_FALSE(boolean("res.isAudioPlaying(id)"));
}

TEST_F(ResourcesAudio, StreamedClipsReadTheFileAsTheyPlayDecodedOnesAtOnce)
{
	startOutput();
	EXPECT_THROW(run("res.createAudio('tone.wav', 'beep', nil)"), lua::LuaException);
	run("res.createAudio('tone.wav', 'streamed') res.createAudio('tone.wav', 'decoded', false)");

	Bytes silent = wav;
	std::fill(silent.begin() + WAV_DATA_OFFSET, silent.end(), 0);
	saveBytes("tone.wav", silent);
	// Far into the file, past whatever the stream has buffered.
	const int offset = 300000;
	const Bytes original(wav.begin() + WAV_DATA_OFFSET + offset, wav.begin() + WAV_DATA_OFFSET + offset + 64);
	EXPECT_NE(Bytes(64, 0), original);
	EXPECT_EQ(Bytes(64, 0), soundOf("streamed", offset, 64));
	EXPECT_EQ(original, soundOf("decoded", offset, 64));
}

TEST_F(ResourcesAudio, Mp3StreamsEvenWhenAskedToDecode)
{
	const std::string command = "lame --quiet -b 128 '" + dir.file("tone.wav") + "' '" + dir.file("tone.mp3") + "' 2>/dev/null";
	if (std::system(command.c_str()) != 0)
		GTEST_SKIP() << "lame is not installed";
	startOutput();
	run("res.createAudio('tone.mp3', 'mp3', false)");
	// A streamed MP3 does not know its decoded length.
	EXPECT_EQ(-1, registry.getAudio("mp3")->dataSize());
	EXPECT_GE(numbers("res.playAudio('mp3')")[0], 0.f);
}

} // namespace
