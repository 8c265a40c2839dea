#include "AudioTestData.h"

#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>
#include <io/IOException.h>
#include <lang/Exception.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <unistd.h>

using namespace audiotest;

namespace {

// The message of what reading a WAV file of these bytes throws; "data N" with the data size
// found when nothing is thrown.
std::string wavError(const Bytes& file)
{
	io::ByteArrayInputStream stream(file.data(), static_cast<int>(file.size()));
	try
	{
		audio::AudioReader reader(&stream, io::FILEFORMAT_WAV);
		return "data " + std::to_string(reader.dataSize());
	}
	catch (const io::IOException& e)
	{
		return "io: " + messageOf(e);
	}
	catch (const lang::Exception& e)
	{
		return messageOf(e);
	}
}

Bytes readAll(audio::AudioReader& reader, int offset, int piece)
{
	Bytes all;
	Bytes buffer(static_cast<size_t>(piece));
	for (;;)
	{
		const int n = reader.readData(buffer.data(), offset, piece);
		if (n == 0)
			return all;
		all.insert(all.end(), buffer.begin(), buffer.begin() + n);
		offset += n;
	}
}

} // namespace

TEST(AudioReaderWav, HeaderErrors)
{
	const Bytes fmt = fmtBody(1, 2, 44100, 16);
	Bytes notWave = wavFile({{"fmt ", fmt}});
	notWave[8] = 'X';
	Bytes shortFmt = fmt;
	shortFmt.resize(14);
	Bytes longFmt = fmt;
	longFmt.insert(longFmt.end(), {0, 0});
	Bytes cutHeader = wavFile({{"fmt ", fmt}});
	cutHeader.insert(cutHeader.end(), {'d', 'a', 't'});
	const struct
	{
		const char* name;
		Bytes file;
		std::string error;
	} cases[] = {
		{"fmt, LIST, data", wavFile({{"fmt ", fmt}, {"LIST", Bytes(26, 'x')}, {"data", Bytes(8)}}), "data 8"},
		// The next chunk header follows an odd-sized body directly, without a pad byte.
		{"odd LIST", wavFile({{"fmt ", fmt}, {"LIST", Bytes(7, 'x')}, {"data", Bytes(8)}}), "data 8"},
		{"fmt longer than 16 bytes", wavFile({{"fmt ", longFmt}, {"data", Bytes(8)}}), "data 8"},
		{"data before fmt", wavFile({{"data", Bytes(8)}, {"fmt ", fmt}}), "Missing fmt chunk before data chunk in wav file"},
		{"float samples", wavFile({{"fmt ", fmtBody(3, 2, 44100, 32)}, {"data", Bytes(8)}}), "WAV was not PCM! RIFF AudioEncoding TwoCC value: 0x3"},
		{"extensible", wavFile({{"fmt ", fmtBody(0xFFFE, 2, 44100, 16)}, {"data", Bytes(8)}}), "WAV was not PCM! RIFF AudioEncoding TwoCC value: 0xfffe"},
		{"not WAVE", notWave, "Only RIFF/WAVE sounds are currently supported"},
		{"fmt of 14 bytes", wavFile({{"fmt ", shortFmt}, {"data", Bytes(8)}}), "io: WAV fmt chunk of 14 bytes is too short while reading ByteArrayInputStream"},
		{"cut inside the RIFF header", Bytes{'R', 'I', 'F', 'F', 0, 0}, "io: Failed to read 12 bytes from ByteArrayInputStream"},
		{"cut inside a chunk header", cutHeader, "io: Failed to read 8 bytes from ByteArrayInputStream"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.error, wavError(c.file)) << c.name;
}

TEST(AudioReaderWav, ReadsTheDataChunk)
{
	Bytes pcm;
	for (int i = 0; i < 200; ++i)
		pcm.push_back(static_cast<uint8_t>(i));
	const Bytes file = wavFile({{"fmt ", fmtBody(1, 2, 22050, 16)}, {"LIST", Bytes(10, 'x')}, {"data", pcm}});
	io::ByteArrayInputStream stream(file.data(), static_cast<int>(file.size()));
	audio::AudioReader reader(&stream, io::FILEFORMAT_WAV);
	EXPECT_EQ(1, reader.audioFormat());
	EXPECT_EQ(2, reader.channels());
	EXPECT_EQ(22050, reader.sampleRate());
	EXPECT_EQ(88200, reader.byteRate());
	EXPECT_EQ(4, reader.blockAlign());
	EXPECT_EQ(16, reader.bitsPerSample());
	EXPECT_EQ(200, reader.dataSize());
	Bytes out(100);
	EXPECT_EQ(10, reader.readData(out.data(), 190, 100));
	EXPECT_EQ(190, out[0]);
	EXPECT_EQ(0, reader.readData(out.data(), 200, 100));
	EXPECT_EQ(pcm, readAll(reader, 0, 64));
}

TEST(AudioReaderWav, DataSizeIsBoundedByTheFile)
{
	const struct
	{
		unsigned int declared;
		int expected;
	} cases[] = {{1000, 40}, {0xFFFFFFFFu, 40}, {0x80000000u, 40}, {12, 12}, {0, 0}};
	for (const auto& c : cases)
	{
		Bytes file = wavFile({{"fmt ", fmtBody(1, 1, 8000, 8)}, {"data", Bytes(40, 128)}});
		for (int i = 0; i < 4; ++i)
			file[file.size() - 40 - 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(c.declared >> (8 * i));
		io::ByteArrayInputStream stream(file.data(), static_cast<int>(file.size()));
		audio::AudioReader reader(&stream, io::FILEFORMAT_WAV);
		EXPECT_EQ(c.expected, reader.dataSize()) << c.declared;
		EXPECT_EQ(Bytes(static_cast<size_t>(c.expected), 128), readAll(reader, 0, 16));
	}
}

TEST(AudioReaderWav, NoDataChunkIsAnEmptySound)
{
	const Bytes file = wavFile({{"fmt ", fmtBody(1, 1, 8000, 8)}, {"LIST", Bytes(4)}});
	io::ByteArrayInputStream stream(file.data(), static_cast<int>(file.size()));
	audio::AudioReader reader(&stream, io::FILEFORMAT_WAV);
	EXPECT_EQ(0, reader.dataSize());
	uint8_t byte = 0;
	EXPECT_EQ(0, reader.readData(&byte, 0, 1));
}

TEST(AudioReaderRaw, ConfigurationTable)
{
	const struct
	{
		audio::AudioConfiguration config;
		int blockAlign;
		int byteRate;
	} cases[] = {{{2, 16, 22050}, 4, 88200}, {{1, 8, 8000}, 1, 8000}, {{0, 0, 0}, 0, 0}};
	const Bytes data(1000, 7);
	for (const auto& c : cases)
	{
		io::ByteArrayInputStream stream(data.data(), static_cast<int>(data.size()));
		audio::AudioReader reader(&stream, c.config);
		EXPECT_EQ(1, reader.audioFormat());
		EXPECT_EQ(c.blockAlign, reader.blockAlign());
		EXPECT_EQ(c.byteRate, reader.byteRate());
		EXPECT_EQ(c.config.bitsPerSample, reader.bitsPerSample());
		EXPECT_EQ(1000, reader.dataSize());
		Bytes out(100);
		EXPECT_EQ(10, reader.readData(out.data(), 990, 100));
	}
}

TEST(AudioReader, UnsupportedFormatThrows)
{
	const Bytes data(16, 0);
	io::ByteArrayInputStream stream(data.data(), static_cast<int>(data.size()));
	try
	{
		audio::AudioReader reader(&stream, io::FILEFORMAT_PNG);
		FAIL();
	}
	catch (const io::IOException& e)
	{
		EXPECT_EQ("Unsupported audio file format while reading ByteArrayInputStream", messageOf(e));
	}
}

class AudioReaderMp3 : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		// Test processes may run in parallel: each encodes its own files.
		const std::string base = ::testing::TempDir() + "audio_reader_tone_" + std::to_string(getpid());
		const std::string wavPath = base + ".wav";
		const std::string mp3Path = base + ".mp3";
		// Half a second of a 440 Hz stereo tone.
		const Bytes wav = wavFile({{"fmt ", fmtBody(1, 2, 44100, 16)}, {"data", sine16(22050, 2, 44100, 440.0, 8000.0)}});
		std::ofstream(wavPath, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
		const std::string command = "lame --quiet -b 128 '" + wavPath + "' '" + mp3Path + "' 2>/dev/null";
		if (std::system(command.c_str()) == 0)
		{
			std::ifstream in(mp3Path, std::ios::binary);
			mp3 = Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
		}
		std::remove(wavPath.c_str());
		std::remove(mp3Path.c_str());
	}

	void SetUp() override
	{
		if (mp3.empty())
			GTEST_SKIP() << "lame is not installed";
	}

	static Bytes mp3;
};

Bytes AudioReaderMp3::mp3;

TEST_F(AudioReaderMp3, DecodesAndRereadsFromTheStartAfterTheEnd)
{
	io::ByteArrayInputStream stream(mp3.data(), static_cast<int>(mp3.size()));
	audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
	EXPECT_EQ(0, reader.audioFormat());
	EXPECT_EQ(2, reader.channels());
	EXPECT_EQ(44100, reader.sampleRate());
	EXPECT_EQ(16, reader.bitsPerSample());
	EXPECT_EQ(-1, reader.dataSize());

	const Bytes whole = readAll(reader, 0, 4096);
	EXPECT_EQ(22050u * 4, whole.size());
	Bytes again(4096);
	EXPECT_EQ(0, reader.readData(again.data(), static_cast<int>(whole.size()), 4096));
	ASSERT_EQ(4096, reader.readData(again.data(), 0, 4096));
	EXPECT_TRUE(std::equal(again.begin(), again.end(), whole.begin()));
	// A jump into the middle, off a frame boundary, gives the same bytes as reading in order.
	ASSERT_EQ(1000, reader.readData(again.data(), 40002, 1000));
	EXPECT_TRUE(std::equal(again.begin(), again.begin() + 1000, whole.begin() + 40002));
}

TEST_F(AudioReaderMp3, CutOrGarbageInputThrowsWithoutHanging)
{
	Bytes garbage(5000);
	for (size_t i = 0; i < garbage.size(); ++i)
		garbage[i] = static_cast<uint8_t>(i * 7 + 3);
	const Bytes cases[] = {Bytes(mp3.begin(), mp3.begin() + 100), garbage, Bytes()};
	for (const Bytes& data : cases)
	{
		io::ByteArrayInputStream stream(data.data(), static_cast<int>(data.size()));
		try
		{
			audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
			FAIL() << data.size() << " bytes were taken for an MP3 stream";
		}
		catch (const io::IOException& e)
		{
			EXPECT_EQ("Failed to read MP3 header while reading ByteArrayInputStream", messageOf(e));
		}
	}
}

TEST_F(AudioReaderMp3, CutStreamEndsEarly)
{
	const Bytes cut(mp3.begin(), mp3.begin() + static_cast<long>(mp3.size() / 2));
	io::ByteArrayInputStream stream(cut.data(), static_cast<int>(cut.size()));
	audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
	const Bytes decoded = readAll(reader, 0, 4096);
	EXPECT_GT(decoded.size(), 0u);
	EXPECT_LT(decoded.size(), 22050u * 4);
}

TEST_F(AudioReaderMp3, ReadersShareTheLibrary)
{
	io::ByteArrayInputStream first(mp3.data(), static_cast<int>(mp3.size()));
	io::ByteArrayInputStream second(mp3.data(), static_cast<int>(mp3.size()));
	lang::Ptr<audio::AudioReader> a = new audio::AudioReader(&first, io::FILEFORMAT_MP3);
	{
		audio::AudioReader b(&second, io::FILEFORMAT_MP3);
	}
	Bytes out(64);
	EXPECT_EQ(64, a->readData(out.data(), 0, 64));
	a = nullptr;
	io::ByteArrayInputStream third(mp3.data(), static_cast<int>(mp3.size()));
	audio::AudioReader c(&third, io::FILEFORMAT_MP3);
	EXPECT_EQ(64, c.readData(out.data(), 0, 64));
}
