#include "AudioTestData.h"

#include <audio/AudioBuffer.h>
#include <audio/AudioBufferPump.h>
#include <audio/AudioClipCursor.h>
#include <audio/AudioClipInstance.h>
#include <audio/AudioMixer.h>
#include <lang/Exception.h>
#include <lang/Thread.h>

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

Bytes counting(int n)
{
	Bytes data;
	for (int i = 0; i < n; ++i)
		data.push_back(static_cast<uint8_t>(i + 1));
	return data;
}

} // namespace

TEST(AudioBuffer, DeliversAClipInPiecesOfItsCapacity)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(counting(20), 1, 8);
	audio::AudioClipCursor cursor;
	lang::Ptr<audio::AudioBuffer> buffer = new audio::AudioBuffer(clip, &cursor, 8);
	Bytes out(32, 0);
	EXPECT_EQ(20, buffer->getData(out.data(), 20));
	EXPECT_EQ(counting(20), Bytes(out.begin(), out.begin() + 20));
	EXPECT_EQ(0, buffer->getData(out.data(), 20));
	// The end flag is cleared, so a cursor moved back to the start fills again.
	cursor.position = 0;
	EXPECT_EQ(20, buffer->getData(out.data(), 32));
}

TEST(AudioBuffer, FillWrapsAroundTheEndOfTheRing)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(counting(40), 1, 8);
	audio::AudioClipCursor cursor;
	lang::Ptr<audio::AudioBuffer> buffer = new audio::AudioBuffer(clip, &cursor, 8);
	Bytes out(8);
	buffer->fillBuffer();
	EXPECT_EQ(5, buffer->get(out.data(), 5));
	buffer->fillBuffer();
	EXPECT_EQ(8, buffer->get(out.data(), 8));
	EXPECT_EQ((Bytes{6, 7, 8, 9, 10, 11, 12, 13}), out);
	// The write position now stands 3 bytes before the end with 8 bytes free: one fill puts 3
	// bytes there and 5 at the start.
	buffer->fillBuffer();
	EXPECT_EQ(8, buffer->filled());
	EXPECT_EQ(21, cursor.position);
	EXPECT_EQ(8, buffer->get(out.data(), 8));
	EXPECT_EQ((Bytes{14, 15, 16, 17, 18, 19, 20, 21}), out);
}

TEST(AudioBuffer, GetOfMoreThanTheCapacityIsRefused)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(counting(40), 1, 8);
	audio::AudioClipCursor cursor;
	lang::Ptr<audio::AudioBuffer> buffer = new audio::AudioBuffer(clip, &cursor, 8);
	Bytes out(16);
	EXPECT_THROW(buffer->get(out.data(), 9), lang::Exception);
	EXPECT_EQ(16, buffer->getData(out.data(), 16));
}

TEST(AudioBuffer, InstanceReadsThroughItsBufferAndLoops)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(counting(10), 1, 8);
	audio::AudioClipInstance instance;
	instance.clip = clip;
	instance.cursor = new audio::AudioClipCursor;
	instance.buffer = new audio::AudioBuffer(clip, instance.cursor, 4);
	instance.loop = true;
	Bytes out(25);
	EXPECT_EQ(25, instance.fetchData(out.data(), 25));
	EXPECT_EQ(1, out[0]);
	EXPECT_EQ(1, out[10]);
	EXPECT_EQ(5, out[24]);
}

TEST(AudioBufferPump, FillsItsBuffersWhileTheMixerRuns)
{
	lang::Ptr<audio::AudioClip> clip = memoryClip(counting(100), 1, 8);
	audio::AudioClipCursor cursor;
	lang::Ptr<audio::AudioBuffer> buffer = new audio::AudioBuffer(clip, &cursor, 32);
	audio::AudioBufferPump pump;
	pump.addBuffer(buffer);
	audio::AudioMixer mixer;
	mixer.setBufferPump(&pump);
	mixer.start();
	EXPECT_TRUE(pump.isRunning());
	for (int wait = 0; wait < 300 && buffer->filled() < 32; ++wait)
		lang::Thread::sleep(10);
	EXPECT_EQ(32, buffer->filled());
	mixer.stop();
	EXPECT_FALSE(pump.isRunning());
	pump.removeBuffer(buffer);
}
