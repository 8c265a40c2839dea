#include "AudioTestData.h"

#include <audio/AudioClipCursor.h>
#include <audio/AudioClipInstance.h>
#include <io/IOException.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <unistd.h>

using namespace audiotest;

namespace {

Bytes counting(int n)
{
	Bytes data;
	for (int i = 0; i < n; ++i)
		data.push_back(static_cast<uint8_t>(i));
	return data;
}

audio::AudioClipInstance instanceOf(audio::AudioClip* clip, bool loop)
{
	audio::AudioClipInstance instance;
	instance.clip = clip;
	instance.cursor = new audio::AudioClipCursor;
	instance.loop = loop;
	return instance;
}

} // namespace

TEST(AudioClipInstance, FetchSequences)
{
	const struct
	{
		bool loop;
		int clipBytes;
		std::vector<int> returned;
		std::vector<bool> ended;
		int finalPosition;
	} cases[] = {
		{false, 100, {64, 36, 0}, {false, false, true}, 100},
		{true, 100, {64, 64, 64}, {false, false, false}, 92},
		// A looping clip shorter than a request wraps as often as needed.
		{true, 10, {64}, {false}, 4},
		// A looping clip with no data at all ends instead of spinning.
		{true, 0, {0}, {true}, 0},
		{false, 0, {0}, {true}, 0},
	};
	for (const auto& c : cases)
	{
		const Bytes data = counting(c.clipBytes);
		lang::Ptr<audio::AudioClip> clip = memoryClip(data, 1, 8);
		audio::AudioClipInstance instance = instanceOf(clip, c.loop);
		int expectedPosition = 0;
		for (size_t call = 0; call < c.returned.size(); ++call)
		{
			Bytes out(64, 0xEE);
			EXPECT_EQ(c.returned[call], instance.fetchData(out.data(), 64)) << "loop " << c.loop << " size " << c.clipBytes << " call " << call;
			EXPECT_EQ(c.ended[call], instance.ended.load());
			for (int i = 0; i < c.returned[call]; ++i)
				ASSERT_EQ(data[static_cast<size_t>(expectedPosition++ % c.clipBytes)], out[static_cast<size_t>(i)]);
		}
		EXPECT_EQ(c.finalPosition, instance.cursor->position);
	}
}

TEST(AudioClipInstance, InstancesOfOneClipAdvanceIndependently)
{
	const Bytes data = counting(100);
	lang::Ptr<audio::AudioClip> clip = memoryClip(data, 1, 8);
	audio::AudioClipInstance first = instanceOf(clip, false);
	audio::AudioClipInstance second = instanceOf(clip, false);
	Bytes out(10);
	first.fetchData(out.data(), 10);
	second.fetchData(out.data(), 4);
	EXPECT_EQ(0, out[0]);
	first.fetchData(out.data(), 10);
	EXPECT_EQ(10, out[0]);
	second.fetchData(out.data(), 4);
	EXPECT_EQ(4, out[0]);
	// Copies share the cursor: they are the same playing instance.
	audio::AudioClipInstance copy = first;
	copy.fetchData(out.data(), 1);
	EXPECT_EQ(21, first.cursor->position);
}

TEST(AudioClip, MemoryClipKeepsItsOwnCopy)
{
	Bytes data = counting(16);
	lang::Ptr<audio::AudioClip> clip = memoryClip(data, 2, 16, 22050);
	data.assign(data.size(), 0xFF);
	audio::AudioClipCursor cursor;
	Bytes out(16);
	EXPECT_EQ(16, clip->getData(out.data(), 16, &cursor));
	EXPECT_EQ(counting(16), out);
	EXPECT_EQ(16, cursor.position);
	EXPECT_EQ(2, clip->channels());
	EXPECT_EQ(22050, clip->sampleRate());
	EXPECT_EQ(4, clip->blockAlign());
	EXPECT_EQ(16, clip->dataSize());
}

// A sound cut inside a sample frame (a download that stopped early) ends on its last whole frame,
// so every pass of a loop starts in step: streamed from the WAV file and held in memory alike.
TEST(AudioClip, CutInsideAFrameLoopsOnWholeFrames)
{
	const struct
	{
		int channels;
		// Bytes the data chunk's size field gives, and bytes of it the file holds.
		int declared;
		int kept;
		int whole;
	} cases[] = {
		{2, 40, 39, 36},
		{2, 40, 38, 36},
		{2, 40, 37, 36},
		{2, 40, 40, 40},
		{2, 39, 39, 36},
		{1, 40, 7, 6},
	};
	const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "cut.wav";
	for (const auto& c : cases)
	{
		Bytes wav = wavFile({{"fmt ", fmtBody(1, static_cast<unsigned int>(c.channels), 22050, 16)}, {"data", counting(c.declared)}});
		wav.resize(wav.size() - static_cast<size_t>(c.declared - c.kept) - static_cast<size_t>(c.declared % 2));
		std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
		const lang::Ptr<audio::AudioClip> clips[] = {
			new audio::AudioClip(nullptr, lang::String(path.c_str())),
			memoryClip(counting(c.kept), c.channels, 16),
		};
		Bytes threePasses;
		for (int pass = 0; pass < 3; ++pass)
			threePasses.insert(threePasses.end(), wav.begin() + 44, wav.begin() + 44 + c.whole);
		for (const auto& clip : clips)
		{
			SCOPED_TRACE(std::to_string(c.channels) + " channels, " + std::to_string(c.kept) + " bytes kept, " + (clip == clips[0] ? "file" : "memory"));
			EXPECT_EQ(c.whole, clip->dataSize());
			audio::AudioClipInstance instance = instanceOf(clip, true);
			Bytes out(threePasses.size());
			EXPECT_EQ(static_cast<int>(out.size()), instance.fetchData(out.data(), static_cast<int>(out.size())));
			EXPECT_EQ(threePasses, out);
		}
	}
	std::remove(path.c_str());
}

TEST(AudioClip, FileFormatFollowsTheNameInAnyCase)
{
	const Bytes wav = wavFile({{"fmt ", fmtBody(1, 1, 8000, 8)}, {"data", Bytes(10, 128)}});
	const std::string dir = ::testing::TempDir() + std::to_string(getpid());
	for (const char* name : {"clip.wav", "CLIP.WAV", "clip.raw"})
	{
		const std::string path = dir + name;
		std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
		lang::Ptr<audio::AudioClip> clip = new audio::AudioClip(nullptr, lang::String(path.c_str()));
		const bool raw = std::string(name) == "clip.raw";
		EXPECT_EQ(raw ? static_cast<int>(wav.size()) : 10, clip->dataSize()) << name;
		EXPECT_EQ(raw ? 0 : 8000, clip->sampleRate()) << name;
		std::remove(path.c_str());
	}
	EXPECT_THROW(audio::AudioClip(nullptr, lang::String((dir + "missing.wav").c_str())), io::IOException);
	// An image's name is refused, not taken for raw samples.
	const std::string image = dir + "clip.png";
	std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
	try
	{
		audio::AudioClip clip(nullptr, lang::String(image.c_str()));
		ADD_FAILURE() << "an image name was taken for a sound";
	}
	catch (const io::IOException& e)
	{
		EXPECT_EQ("Unsupported audio file format while reading " + image, messageOf(e));
	}
	std::remove(image.c_str());
}
