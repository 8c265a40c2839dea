#include "AudioTestData.h"

#include <audio/AudioMixer.h>
#include <io/IOException.h>
#include <lang/Exception.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace audiotest;

namespace {

const audio::AudioConfiguration STEREO16{2, 16, 44100};
const audio::AudioConfiguration MONO16{1, 16, 44100};
const audio::AudioConfiguration MONO8{1, 8, 44100};

Bytes mix16(audio::AudioMixer& mixer, const audio::AudioConfiguration& config, int bytes)
{
	Bytes out(static_cast<size_t>(bytes), 0xAA);
	mixer.mixUnlimited16(config, out.data(), bytes);
	return out;
}

// A clip whose reads fail, as a damaged file does while it plays.
class FailingClip : public audio::AudioClip
{
public:
	FailingClip() : audio::AudioClip(nullptr, "\0\0\0\0", 4, audio::AudioConfiguration{1, 16, 44100}) {}
	int getData(void*, int, audio::AudioClipCursor*) override
	{
		lang::throwError(io::IOException(lang::Format("Failed to read {1} bytes from {0}", "damaged.wav", 8)));
	}
};

class AudioMixerTest : public ::testing::Test
{
protected:
	AudioMixerTest() { mixer.start(); }

	audio::AudioMixer mixer;
};

} // namespace

TEST_F(AudioMixerTest, IdsCountUpAndRefusedPlaysUseNone)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(64, 1), 1, 16);
	mixer.setClipCountLimit(2, 1);
	EXPECT_EQ(0, mixer.playClip(clip, 1.0f, false, 2));
	EXPECT_TRUE(mixer.isClipPlaying(0));
	EXPECT_EQ(-1, mixer.playClip(clip, 1.0f, false, 2));
	EXPECT_EQ(1, mixer.playClip(clip, 1.0f, false, 3));
	// An ended instance no longer counts, although it stays listed until the next mix.
	mixer.stopClip(clip);
	EXPECT_FALSE(mixer.isClipPlaying(0));
	EXPECT_EQ(0, mixer.getPlayingClipCount(2));
	EXPECT_EQ(2, mixer.playClip(clip, 1.0f, false, 2));
}

TEST_F(AudioMixerTest, ClipCountLimits)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(64, 1), 1, 16);
	mixer.setClipCountLimit(0, 0);
	mixer.setClipCountLimit(1, -1);
	mixer.setClipCountLimit(4, -7);
	for (int i = 0; i < 20; ++i)
	{
		EXPECT_EQ(-1, mixer.playClip(clip, 1.0f, false, 0));
		EXPECT_NE(-1, mixer.playClip(clip, 1.0f, false, 1));
		EXPECT_NE(-1, mixer.playClip(clip, 1.0f, false, 4));
	}
	EXPECT_EQ(20, mixer.getPlayingClipCount(1));
}

TEST(AudioMixerStopped, PlayIsRefusedBeforeStartWhateverTheTrack)
{
	audio::AudioMixer mixer;
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(4, 1), 1, 16);
	EXPECT_EQ(-1, mixer.playClip(clip, 1.0f, false, 0));
	EXPECT_EQ(-1, mixer.playClip(clip, 1.0f, false, 99));
	mixer.start();
	mixer.stop();
	EXPECT_EQ(-1, mixer.playClip(clip, 1.0f, false, 0));
	EXPECT_EQ(0, mixer.getPlayingClipCount(0));
}

TEST_F(AudioMixerTest, TrackIndexOutOfBoundsThrows)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(4, 1), 1, 16);
	for (int track : {-1, 8, 1000})
	{
		const std::string expected = "Track " + std::to_string(track) + " out of bounds! Range [0-7]";
		try
		{
			mixer.getTrackVolume(track);
			FAIL() << "no exception for track " << track;
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ(expected, messageOf(e));
		}
		EXPECT_THROW(mixer.setTrackVolume(0.5f, track), lang::Exception);
		EXPECT_THROW(mixer.setClipCountLimit(track, 1), lang::Exception);
		EXPECT_THROW(mixer.getPlayingClipCount(track), lang::Exception);
		EXPECT_THROW(mixer.playClip(clip, 1.0f, false, track), lang::Exception);
	}
}

TEST_F(AudioMixerTest, TrackVolumeIsLimited)
{
	const struct
	{
		float given;
		float stored;
	} cases[] = {{0.25f, 0.25f}, {1.5f, 1.0f}, {-0.5f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 1.0f},
				 {std::numeric_limits<float>::infinity(), 1.0f}};
	for (const auto& c : cases)
	{
		mixer.setTrackVolume(c.given, 5);
		EXPECT_EQ(c.stored, mixer.getTrackVolume(5)) << c.given;
	}
}

// One instance per entry of samples, each at volume on track 0; returns the first mixed sample.
int16_t mixOneSample(audio::AudioMixer& mixer, std::initializer_list<int16_t> samples, float volume, float trackVolume)
{
	mixer.setTrackVolume(trackVolume, 0);
	std::vector<lang::Ptr<audio::AudioClip>> clips;
	for (int16_t s : samples)
	{
		clips.push_back(memoryClip(constant16(1, s), 1, 16));
		mixer.playClip(clips.back(), volume, false, 0);
	}
	const Bytes out = mix16(mixer, MONO16, 2);
	mixer.stopClips();
	return sampleAt(out, 0);
}

TEST_F(AudioMixerTest, Mix16GainAndClipping)
{
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const struct
	{
		std::initializer_list<int16_t> samples;
		float volume;
		float trackVolume;
		int16_t expected;
	} cases[] = {
		{{1000}, 1.0f, 1.0f, 1000},
		{{-1000}, 0.5f, 1.0f, -500},
		{{1000}, 1.0f, 0.5f, 500},
		{{32767}, 2.0f, 1.0f, 32767},
		{{-20000, -20000}, 1.0f, 1.0f, -32768},
		{{1000}, 0.0f, 1.0f, 0},
		{{1000}, 1.0f, 0.0f, 0},
		{{1000}, -1.0f, 1.0f, 0},
		// The gain stops just under 16 x unity, so loud volumes cannot overflow.
		{{1000}, 16.0f, 1.0f, 15999},
		{{-32768}, 1.0e9f, 1.0f, -32768},
		{{1000}, nan, 1.0f, 0},
		{{1000}, std::numeric_limits<float>::infinity(), 1.0f, 15999},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.expected, mixOneSample(mixer, c.samples, c.volume, c.trackVolume)) << "volume " << c.volume << " track " << c.trackVolume;
}

TEST_F(AudioMixerTest, ManyLoudInstancesSaturate)
{
	std::vector<lang::Ptr<audio::AudioClip>> clips;
	for (int i = 0; i < 5000; ++i)
	{
		clips.push_back(memoryClip(constant16(1, 32767), 1, 16));
		mixer.playClip(clips.back(), 1000.0f, false, 0);
	}
	EXPECT_EQ(32767, sampleAt(mix16(mixer, MONO16, 2), 0));
}

TEST_F(AudioMixerTest, MonoClipOnStereoOutputFillsBothChannels)
{
	const Bytes pcm = sine16(64, 1, 44100, 1000.0, 12000.0);
	lang::Ptr<audio::AudioClip> clip = memoryClip(pcm, 1, 16);
	mixer.playClip(clip, 1.0f, false, 0);
	// A block of 64 bytes is 16 stereo frames: it takes 32 bytes (16 samples) of the clip.
	const Bytes first = mix16(mixer, STEREO16, 64);
	const Bytes second = mix16(mixer, STEREO16, 64);
	for (int i = 0; i < 16; ++i)
	{
		EXPECT_EQ(sampleAt(pcm, i), sampleAt(first, 2 * i));
		EXPECT_EQ(sampleAt(pcm, i), sampleAt(first, 2 * i + 1));
		EXPECT_EQ(sampleAt(pcm, 16 + i), sampleAt(second, 2 * i + 1));
	}
}

TEST_F(AudioMixerTest, BytesTakenPerBlock)
{
	// A clip of exactly one block: taken whole, it ends at the second mix; taken by halves, only
	// at the third. Only the 16-bit mix spreads a mono clip over a stereo output.
	const struct
	{
		int clipChannels;
		audio::AudioConfiguration output;
		bool takesHalf;
	} cases[] = {
		{1, STEREO16, true},
		{2, STEREO16, false},
		{1, MONO16, false},
		{2, MONO16, false},
		{1, audio::AudioConfiguration{2, 8, 44100}, false},
	};
	const int bytes = 64;
	for (const auto& c : cases)
	{
		lang::Ptr<audio::AudioClip> clip = memoryClip(Bytes(bytes, 1), c.clipChannels, c.output.bitsPerSample);
		const int id = mixer.playClip(clip, 1.0f, false, 0);
		Bytes out(bytes);
		for (int block = 0; block < 2; ++block)
		{
			if (c.output.bitsPerSample == 8)
				mixer.mixUnlimited8(c.output, out.data(), bytes);
			else
				mixer.mixUnlimited16(c.output, out.data(), bytes);
		}
		EXPECT_EQ(c.takesHalf, mixer.isClipPlaying(id)) << c.clipChannels << " on " << c.output.channels << "x" << c.output.bitsPerSample;
		mixer.stopClips();
	}
}

TEST_F(AudioMixerTest, SilenceIsZeroIn16BitAnd128In8Bit)
{
	EXPECT_EQ(Bytes(32, 0), mix16(mixer, STEREO16, 32));
	Bytes out(16, 0);
	mixer.mixUnlimited8(MONO8, out.data(), 16);
	EXPECT_EQ(Bytes(16, 128), out);
}

TEST_F(AudioMixerTest, Mix8)
{
	lang::Ptr<audio::AudioClip> centre = memoryClip(Bytes(8, 128), 1, 8);
	lang::Ptr<audio::AudioClip> loud = memoryClip(Bytes{255, 0, 200, 60}, 1, 8);
	mixer.playClip(centre, 1.0f, false, 0);
	mixer.playClip(loud, 2.0f, false, 0);
	Bytes out(4, 0);
	mixer.mixUnlimited8(MONO8, out.data(), 4);
	EXPECT_EQ((Bytes{255, 0, 255, 0}), out);
	mixer.stopClips();
	mixer.playClip(loud, 0.5f, false, 0);
	mixer.mixUnlimited8(MONO8, out.data(), 4);
	// (x - 128) x 128 >> 8, arithmetic shift.
	EXPECT_EQ((Bytes{191, 64, 164, 94}), out);
}

TEST_F(AudioMixerTest, SilentInstancesStillAdvanceAndEnd)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(8, 500), 1, 16);
	mixer.setTrackVolume(0.0f, 0);
	const int id = mixer.playClip(clip, 1.0f, false, 0);
	EXPECT_EQ(Bytes(16, 0), mix16(mixer, MONO16, 16));
	EXPECT_TRUE(mixer.isClipPlaying(id));
	mix16(mixer, MONO16, 16);
	EXPECT_FALSE(mixer.isClipPlaying(id));
}

TEST_F(AudioMixerTest, ClipVolumeChangesOnlyTheMatchingInstance)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(4, 1000), 1, 16);
	const int a = mixer.playClip(clip, 1.0f, true, 0);
	mixer.playClip(clip, 1.0f, true, 0);
	mixer.setClipVolume(a, 0.5f);
	mixer.setClipVolume(12345, 0.0f);
	EXPECT_EQ(1500, sampleAt(mix16(mixer, MONO16, 2), 0));
}

TEST_F(AudioMixerTest, ReadErrorEndsOnlyThatInstance)
{
	lang::Ptr<audio::AudioClip> bad = new FailingClip;
	lang::Ptr<audio::AudioClip> good = memoryClip(constant16(16, 700), 1, 16);
	const int badId = mixer.playClip(bad, 1.0f, true, 0);
	const int goodId = mixer.playClip(good, 1.0f, true, 0);
	const Bytes out = mix16(mixer, MONO16, 8);
	EXPECT_EQ(700, sampleAt(out, 3));
	EXPECT_FALSE(mixer.isClipPlaying(badId));
	EXPECT_TRUE(mixer.isClipPlaying(goodId));
	EXPECT_EQ(700, sampleAt(mix16(mixer, MONO16, 8), 0));
}

TEST_F(AudioMixerTest, InstanceKeepsItsClipAliveAfterTheCallerDropsIt)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(constant16(8, 300), 1, 16);
	const int id = mixer.playClip(clip, 1.0f, false, 0);
	clip = nullptr;
	EXPECT_EQ(300, sampleAt(mix16(mixer, MONO16, 8), 2));
	EXPECT_TRUE(mixer.isClipPlaying(id));
}
