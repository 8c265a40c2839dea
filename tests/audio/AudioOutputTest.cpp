#include "AudioTestData.h"

#include <audio/AudioInput.h>
#include <audio/AudioOutput.h>
#include <audio/openal/AudioOutputImpl.h>
#include <audio/AudioSession.h>
#include <audio/openal/OpenALDeviceFactory.h>
#include <lang/Exception.h>
#include <lang/Thread.h>

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace audiotest;

namespace {

// A machine without a sound device.
class NoDevice : public audio::OpenALDeviceFactory
{
public:
	ALCdevice* openDevice(const audio::AudioConfiguration&) override { return nullptr; }
	ALCcontext* createContext(ALCdevice*, const audio::AudioConfiguration&) override { return nullptr; }
};

// Renders the output's sound on demand, as 32-bit float stereo frames.
class LoopbackDevice : public audio::OpenALDeviceFactory
{
public:
	ALCdevice* openDevice(const audio::AudioConfiguration&) override
	{
		device = alcLoopbackOpenDeviceSOFT(nullptr);
		return device;
	}

	ALCcontext* createContext(ALCdevice* opened, const audio::AudioConfiguration& config) override
	{
		const ALCint attributes[] = {ALC_FREQUENCY, config.samplesPerSecond, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
									 ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT, 0};
		return alcCreateContext(opened, attributes);
	}

	std::vector<float> render(int frames)
	{
		std::vector<float> out(static_cast<size_t>(frames) * 2);
		alcRenderSamplesSOFT(device, out.data(), frames);
		return out;
	}

	ALCdevice* device = nullptr;
};

} // namespace

TEST(AudioOutput, BlockSizeAndFormatTable)
{
	const struct
	{
		audio::AudioConfiguration config;
		int bytes;
		ALenum format;
	} cases[] = {
		{{2, 16, 44100}, 8192, AL_FORMAT_STEREO16},
		{{1, 16, 22050}, 2048, AL_FORMAT_MONO16},
		{{1, 8, 8000}, 256, AL_FORMAT_MONO8},
		{{2, 8, 11025}, 1024, AL_FORMAT_STEREO8},
		{{2, 16, 96000}, 16384, AL_FORMAT_STEREO16},
	};
	for (const auto& c : cases)
	{
		EXPECT_EQ(c.bytes, audio::AudioOutputImpl::bufferBytesFor(c.config)) << c.config.samplesPerSecond;
		EXPECT_EQ(c.format, audio::AudioOutputImpl::alFormatFor(c.config));
	}
}

TEST(AudioOutput, UnsupportedConfigurationsThrow)
{
	const struct
	{
		audio::AudioConfiguration config;
		const char* problem;
	} cases[] = {
		{{3, 16, 44100}, "Unsupported count of channels"},
		{{0, 16, 44100}, "Unsupported count of channels"},
		{{2, 24, 44100}, "Unsupported bits per sample"},
		{{1, 12, 44100}, "Unsupported bits per sample"},
		{{2, 16, 44000}, "Unsupported samples per second"},
		{{3, 24, 44000}, "Unsupported count of channels"},
	};
	NoDevice devices;
	for (const auto& c : cases)
	{
		try
		{
			audio::AudioOutput output(c.config, devices);
			FAIL() << c.problem;
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ(std::string(c.problem) + " while creating AudioOutput", messageOf(e));
		}
		try
		{
			audio::AudioInput input(c.config);
			FAIL() << c.problem;
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ(std::string(c.problem) + " while creating AudioInput", messageOf(e));
		}
	}
	audio::AudioInput input({2, 16, 44100});
	EXPECT_EQ(44100, input.configuration().samplesPerSecond);
	EXPECT_TRUE(input.startInput());
	input.stopInput();
}

TEST(AudioOutput, StartStopAndMasterVolumeOnTheDefaultDevice)
{
	audio::AudioOutput output({2, 16, 44100});
	lang::Ptr<audio::AudioClip> clip = memoryClip(sine16(4410, 2, 44100, 440.0, 8000.0), 2, 16);
	EXPECT_EQ(-1.0f, output.getMasterVolume());
	EXPECT_EQ(-1, output.playClip(clip, 1.0f, false, 0));
	output.stopOutput();
	EXPECT_TRUE(output.startOutput());
	EXPECT_TRUE(output.startOutput());
	EXPECT_EQ(1, audio::AudioOutputImpl::startedCount());
	EXPECT_EQ(1.0f, output.getMasterVolume());
	EXPECT_EQ(0, output.playClip(clip, 1.0f, false, 0));
	output.setMasterVolume(0.25f);
	output.stopOutput();
	EXPECT_EQ(0, audio::AudioOutputImpl::startedCount());
	EXPECT_EQ(-1, output.playClip(clip, 1.0f, false, 0));
	// Instances survive a stop and finish after the next start.
	EXPECT_TRUE(output.isClipPlaying(0));
	EXPECT_TRUE(output.startOutput());
	EXPECT_EQ(0.25f, output.getMasterVolume());
	for (int wait = 0; wait < 200 && output.isClipPlaying(clip); ++wait)
		lang::Thread::sleep(10);
	EXPECT_FALSE(output.isClipPlaying(clip));
}

TEST(AudioOutput, MasterVolumeSetBeforeTheFirstStartIsKept)
{
	NoDevice devices;
	audio::AudioOutput output({1, 16, 22050}, devices);
	output.setMasterVolume(0.5f);
	output.startOutput();
	EXPECT_EQ(0.5f, output.getMasterVolume());
}

TEST(AudioOutput, SessionStaysActiveUntilTheLastOutputStops)
{
	NoDevice devices;
	audio::AudioOutput first({2, 16, 44100}, devices);
	audio::AudioOutput second({1, 8, 8000}, devices);
	first.startOutput();
	second.startOutput();
	EXPECT_TRUE(audio::AudioSession::isActive());
	EXPECT_EQ(audio::AudioSession::CATEGORY_AMBIENT, audio::AudioSession::category());
	first.stopOutput();
	EXPECT_TRUE(audio::AudioSession::isActive());
	second.stopOutput();
	EXPECT_FALSE(audio::AudioSession::isActive());
}

TEST(AudioOutput, WithoutADeviceItRunsSilentInRealTime)
{
	NoDevice devices;
	audio::AudioOutput output({2, 16, 44100}, devices);
	EXPECT_FALSE(output.startOutput());
	EXPECT_TRUE(output.isRunning());
	// A tenth of a second of sound ends after roughly that long, not at once and not never.
	lang::Ptr<audio::AudioClip> clip = memoryClip(sine16(4410, 2, 44100, 440.0, 8000.0), 2, 16);
	const int id = output.playClip(clip, 1.0f, false, 0);
	EXPECT_EQ(0, id);
	int waited = 0;
	while (output.isClipPlaying(id) && waited < 3000)
	{
		lang::Thread::sleep(10);
		waited += 10;
	}
	EXPECT_FALSE(output.isClipPlaying(id));
	EXPECT_GE(waited, 50);
	output.stopOutput();
	EXPECT_FALSE(output.isRunning());
}

// Without a sound card the sound libraries' own complaints stay off the standard error and one
// line says that the program runs without sound, however many outputs are made; the environment
// is left as it was. In a process of its own: the libraries read their settings once.
TEST(AudioOutputDeathTest, WithoutASoundCardOneLineSaysSo)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	const std::string notice = "No sound device: the game runs without sound\n";
	const std::string opened = "a sound device opened\n";
	EXPECT_EXIT(
		{
			// The tests' environment picks OpenAL's silent driver; this asks for the one that
			// complains on such a machine. Whatever a sound library keeps for the user goes into
			// a folder of the test's own.
			setenv("ALSOFT_DRIVERS", "alsa", 1);
			std::string home = ::testing::TempDir() + "soundless-XXXXXX";
			if (!mkdtemp(&home[0]))
				std::exit(1);
			setenv("HOME", home.c_str(), 1);
			setenv("XDG_CONFIG_HOME", home.c_str(), 1);
			bool sound = false;
			for (int i = 0; i < 2; ++i)
			{
				audio::AudioOutput output({2, 16, 22050});
				sound = output.startOutput();
			}
			if (sound)
				std::fputs(opened.c_str(), stderr);
			if (std::getenv("ALSOFT_LOGLEVEL"))
				std::fputs("the environment was changed\n", stderr);
			std::filesystem::remove_all(home);
			std::exit(0);
		},
		::testing::ExitedWithCode(0), ::testing::AnyOf(::testing::StrEq(notice), ::testing::StrEq(opened)));
}

TEST(AudioOutput, LoopbackRendersTheMixAtTheMasterVolume)
{
	LoopbackDevice devices;
	audio::AudioOutput output({2, 16, 44100}, devices);
	ASSERT_NE(nullptr, devices.device);
	output.setMasterVolume(0.5f);
	ASSERT_TRUE(output.startOutput());
	// One second of a 1 kHz tone at half of full scale, looping.
	const double peak = 16384.0;
	lang::Ptr<audio::AudioClip> clip = memoryClip(sine16(44100, 2, 44100, 1000.0, peak), 2, 16);
	output.playClip(clip, 1.0f, true, 0);

	// The first blocks were mixed before the clip started; render a block at a time and give the
	// refill thread time to follow until the tone has reached the device.
	float loudest = 0.0f;
	for (int block = 0; block < 40; ++block)
	{
		const std::vector<float> frames = devices.render(2048);
		if (block >= 20)
			for (float sample : frames)
				loudest = std::max(loudest, std::fabs(sample));
		lang::Thread::sleep(20);
	}
	output.stopOutput();
	const double gainDb = 20.0 * std::log10(loudest / (peak / 32768.0));
	EXPECT_NEAR(-6.02, gainDb, 0.1);
}
