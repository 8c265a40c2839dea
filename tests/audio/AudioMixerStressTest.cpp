#include "AudioTestData.h"

#include <audio/AudioMixer.h>
#include <audio/AudioOutput.h>
#include <audio/openal/OpenALDeviceFactory.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace audiotest;

// Play, stop, volume and query calls race against mixing and clip release; run under
// ThreadSanitizer (and AddressSanitizer) to find unguarded sharing between the two threads.

TEST(AudioMixerStress, ApplicationCallsAgainstMixing)
{
	audio::AudioMixer mixer;
	mixer.start();
	mixer.setClipCountLimit(3, 4);
	const audio::AudioConfiguration config{2, 16, 44100};
	std::atomic<bool> done(false);
	std::atomic<int> blocks(0);
	std::thread mixing([&] {
		Bytes out(1024);
		while (!done)
		{
			mixer.mixUnlimited16(config, out.data(), static_cast<int>(out.size()));
			++blocks;
		}
	});

	const Bytes stereo = sine16(300, 2, 44100, 440.0, 9000.0);
	const Bytes mono = sine16(150, 1, 44100, 880.0, 9000.0);
	for (int round = 0; round < 3000; ++round)
	{
		// Each clip is dropped by this thread while its instances may still be mixed.
		lang::Ptr<audio::AudioClip> clip = round % 3 == 0 ? memoryClip(mono, 1, 16) : memoryClip(stereo, 2, 16);
		const int track = round % audio::AudioMixer::TRACK_COUNT;
		const int id = mixer.playClip(clip, 0.8f, round % 5 == 0, track);
		mixer.setClipVolume(id, 0.5f);
		// Older instances are being mixed right now.
		mixer.setClipVolume(id - 5, 0.3f);
		mixer.setTrackVolume(static_cast<float>(round % 10) / 10.0f, track);
		mixer.isClipPlaying(id);
		mixer.isClipPlaying(clip);
		mixer.getPlayingClipCount(track);
		if (round % 7 == 0)
			mixer.stopClip(clip);
		if (round % 101 == 0)
			mixer.stopClips();
		if (round % 250 == 0)
		{
			mixer.stop();
			mixer.start();
		}
	}
	while (blocks < 100)
		std::this_thread::yield();
	done = true;
	mixing.join();
}

namespace {

class NoDevice : public audio::OpenALDeviceFactory
{
public:
	ALCdevice* openDevice(const audio::AudioConfiguration&) override { return nullptr; }
	ALCcontext* createContext(ALCdevice*, const audio::AudioConfiguration&) override { return nullptr; }
};

} // namespace

TEST(AudioMixerStress, OutputStartsAndStopsWhilePlaying)
{
	NoDevice devices;
	audio::AudioOutput output({1, 16, 8000}, devices);
	const Bytes pcm = sine16(800, 1, 8000, 440.0, 9000.0);
	for (int round = 0; round < 50; ++round)
	{
		output.startOutput();
		lang::Ptr<audio::AudioClip> clip = memoryClip(pcm, 1, 16, 8000);
		for (int i = 0; i < 20; ++i)
		{
			output.playClip(clip, 1.0f, i % 4 == 0, i % 8);
			output.setTrackVolume(0.5f, i % 8);
			std::this_thread::yield();
		}
		output.stopOutput();
	}
}
