#include "AudioTestData.h"

#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>
#include <io/IOException.h>
#include <lang/Exception.h>

#include <support/MemoryPeaks.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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
	// The LIST body ends at byte 12 + 24 + 8 + 7.
	Bytes unpadded = wavFile({{"fmt ", fmt}, {"LIST", Bytes(7, 'x')}, {"data", Bytes(8)}});
	unpadded.erase(unpadded.begin() + 51);
	Bytes cutList = wavFile({{"fmt ", fmt}, {"LIST", Bytes(26, 'x')}});
	cutList.resize(cutList.size() - 10);
	Bytes cutFmt = wavFile({{"fmt ", longFmt}});
	cutFmt.resize(cutFmt.size() - 1);
	// A size field that claims about 6 MB: its bytes sit right after "LIST" at byte 40.
	Bytes hugeList = wavFile({{"fmt ", fmt}, {"LIST", Bytes(26, 'x')}});
	for (int i = 0; i < 4; ++i)
		hugeList[40 + static_cast<size_t>(i)] = static_cast<uint8_t>(6298721u >> (8 * i));
	const std::string notPcmExtensible = "WAV was not PCM! RIFF AudioEncoding TwoCC value: 0xfffe";
	const std::string twentyFourBits = "io: 24-bit samples are not supported while reading ByteArrayInputStream";
	const std::string sixChannels = "io: 6 channels are not supported while reading ByteArrayInputStream";
	const struct
	{
		const char* name;
		Bytes file;
		std::string error;
	} cases[] = {
		{"fmt, LIST, data", wavFile({{"fmt ", fmt}, {"LIST", Bytes(26, 'x')}, {"data", Bytes(8)}}), "data 8"},
		{"odd LIST and its pad byte", wavFile({{"fmt ", fmt}, {"LIST", Bytes(7, 'x')}, {"data", Bytes(8)}}), "data 8"},
		{"odd LIST without its pad byte", unpadded, "data 8"},
		{"odd LIST and its pad byte last", wavFile({{"fmt ", fmt}, {"LIST", Bytes(7, 'x')}}), "data 0"},
		{"LIST running past the end", cutList, "io: WAV chunk of 26 bytes runs past the end of the file while reading ByteArrayInputStream"},
		{"LIST claiming megabytes", hugeList, "io: WAV chunk of 6298721 bytes runs past the end of the file while reading ByteArrayInputStream"},
		{"fmt running past the end", cutFmt, "io: WAV chunk of 18 bytes runs past the end of the file while reading ByteArrayInputStream"},
		{"fmt longer than 16 bytes", wavFile({{"fmt ", longFmt}, {"data", Bytes(8)}}), "data 8"},
		{"data before fmt", wavFile({{"data", Bytes(8)}, {"fmt ", fmt}}), "Missing fmt chunk before data chunk in wav file"},
		{"float samples", wavFile({{"fmt ", fmtBody(3, 2, 44100, 32)}, {"data", Bytes(8)}}), "WAV was not PCM! RIFF AudioEncoding TwoCC value: 0x3"},
		{"extensible PCM, mono 8-bit", wavFile({{"fmt ", extensibleFmtBody(1, 1, 8000, 8)}, {"data", Bytes(8)}}), "data 8"},
		// The mixer plays mono and stereo of 8 and 16 bits, whichever header says so.
		{"plain PCM, 24-bit", wavFile({{"fmt ", fmtBody(1, 2, 44100, 24)}, {"data", Bytes(12)}}), twentyFourBits},
		{"extensible PCM, 24-bit", wavFile({{"fmt ", extensibleFmtBody(1, 2, 44100, 24)}, {"data", Bytes(12)}}), twentyFourBits},
		{"plain PCM, 32-bit", wavFile({{"fmt ", fmtBody(1, 1, 44100, 32)}, {"data", Bytes(8)}}), "io: 32-bit samples are not supported while reading ByteArrayInputStream"},
		{"plain PCM, 6 channels", wavFile({{"fmt ", fmtBody(1, 6, 44100, 16)}, {"data", Bytes(12)}}), sixChannels},
		{"extensible PCM, 6 channels", wavFile({{"fmt ", extensibleFmtBody(1, 6, 44100, 16)}, {"data", Bytes(12)}}), sixChannels},
		{"plain PCM, no channels", wavFile({{"fmt ", fmtBody(1, 0, 44100, 16)}, {"data", Bytes(8)}}), "io: 0 channels are not supported while reading ByteArrayInputStream"},
		{"extensible float", wavFile({{"fmt ", extensibleFmtBody(3, 2, 44100, 16)}, {"data", Bytes(8)}}), notPcmExtensible},
		{"extensible without its extension", wavFile({{"fmt ", fmtBody(0xFFFE, 2, 44100, 16)}, {"data", Bytes(8)}}), notPcmExtensible},
		{"not WAVE", notWave, "Only RIFF/WAVE sounds are currently supported"},
		{"fmt of 14 bytes", wavFile({{"fmt ", shortFmt}, {"data", Bytes(8)}}), "io: WAV fmt chunk of 14 bytes is too short while reading ByteArrayInputStream"},
		{"cut inside the RIFF header", Bytes{'R', 'I', 'F', 'F', 0, 0}, "io: Failed to read 12 bytes from ByteArrayInputStream"},
		{"cut inside a chunk header", cutHeader, "io: Failed to read 8 bytes from ByteArrayInputStream"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.error, wavError(c.file)) << c.name;
}

// Plain PCM and the extensible header with integer PCM read alike.
TEST(AudioReaderWav, ReadsTheDataChunk)
{
	Bytes pcm;
	for (int i = 0; i < 200; ++i)
		pcm.push_back(static_cast<uint8_t>(i));
	for (const Bytes& fmt : {fmtBody(1, 2, 22050, 16), extensibleFmtBody(1, 2, 22050, 16)})
	{
		SCOPED_TRACE(fmt.size());
		const Bytes file = wavFile({{"fmt ", fmt}, {"LIST", Bytes(10, 'x')}, {"data", pcm}});
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

namespace {

#ifdef AUDIO_MP3_FIXTURES
const char* const MP3_FIXTURES = AUDIO_MP3_FIXTURES;
#else
const char* const MP3_FIXTURES = nullptr;
#endif

// An MP3 file that the build encoded; empty when the build had no encoder.
Bytes mp3Fixture(const std::string& name)
{
	if (!MP3_FIXTURES)
		return Bytes();
	std::ifstream in(MP3_FIXTURES + name, std::ios::binary);
	return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "" when the two sounds are the same bytes, else where and how they differ.
std::string difference(const Bytes& expected, const Bytes& actual)
{
	const auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
	if (mismatch.first == expected.end() && mismatch.second == actual.end())
		return "";
	return std::to_string(actual.size()) + " bytes instead of " + std::to_string(expected.size()) + ", the first difference at byte " + std::to_string(mismatch.first - expected.begin());
}

// The whole sound of an MP3 file.
Bytes decodeMp3(const Bytes& file)
{
	io::ByteArrayInputStream stream(file.data(), static_cast<int>(file.size()));
	audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
	return readAll(reader, 0, 4096);
}

} // namespace

class AudioReaderMp3 : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		// Half a second of a stereo tone at 128 kbit/s.
		mp3 = mp3Fixture("cbr.mp3");
	}

	void SetUp() override
	{
		if (!MP3_FIXTURES)
			GTEST_SKIP() << "lame was not found when the tests were built";
		ASSERT_FALSE(mp3.empty());
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

// Every pass of a looping clip and every position that instances of one clip read give the bytes
// of the first pass, whatever the file's bit rate mode, header and sample rate.
TEST_F(AudioReaderMp3, EveryPositionReadsAsInTheFirstPass)
{
	const struct
	{
		const char* file;
		int channels;
		int rate;
		// Frames the tone had; 0 where the file does not say how many the encoder added.
		size_t frames;
	} cases[] = {
		{"vbr.mp3", 2, 44100, 22050},
		{"no_lame_header.mp3", 2, 44100, 0},
		{"mono_8k.mp3", 1, 8000, 0},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE(c.file);
		const Bytes data = mp3Fixture(c.file);
		io::ByteArrayInputStream stream(data.data(), static_cast<int>(data.size()));
		audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
		EXPECT_EQ(c.channels, reader.channels());
		EXPECT_EQ(c.rate, reader.sampleRate());
		const size_t frameBytes = static_cast<size_t>(c.channels) * 2;
		const Bytes first = readAll(reader, 0, 4096);
		if (c.frames > 0)
		{
			EXPECT_EQ(c.frames * frameBytes, first.size());
		}
		ASSERT_GT(first.size(), 4000 * frameBytes);
		EXPECT_EQ("", difference(first, readAll(reader, 0, 4096)));
		EXPECT_EQ("", difference(first, readAll(reader, 0, 1000)));

		// Two instances a little apart read alternately, so every read jumps back or forth.
		const int gap = 3000 * static_cast<int>(frameBytes) + 6;
		Bytes ahead(first.begin(), first.begin() + gap);
		Bytes behind;
		Bytes piece(1024);
		for (;;)
		{
			const int a = reader.readData(piece.data(), static_cast<int>(ahead.size()), 1024);
			ahead.insert(ahead.end(), piece.begin(), piece.begin() + a);
			const int b = reader.readData(piece.data(), static_cast<int>(behind.size()), 1024);
			behind.insert(behind.end(), piece.begin(), piece.begin() + b);
			if (a == 0 && b == 0)
				break;
		}
		EXPECT_EQ("", difference(first, ahead));
		EXPECT_EQ("", difference(first, behind));
	}
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

// Tags ahead of the audio are skipped unread, so the size a tag's header claims takes no memory.
TEST_F(AudioReaderMp3, TagsAreSkippedWithoutTakingTheirSize)
{
	const Bytes plain = decodeMp3(mp3);

	// A 20-byte tag: its header (version 4, no flags, the size in 7-bit bytes), then padding.
	Bytes tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
	tagged.insert(tagged.end(), 10, 0);
	tagged.insert(tagged.end(), mp3.begin(), mp3.end());
	EXPECT_EQ("", difference(plain, decodeMp3(tagged)));

	// A tag that claims 256 MB in a file of a few kilobytes.
	const long mappedBefore = testsupport::peakMappedMiB();
	Bytes claim = {'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
	claim.insert(claim.end(), mp3.begin(), mp3.end());
	try
	{
		decodeMp3(claim);
		ADD_FAILURE() << "the audio inside the tag was played";
	}
	catch (const io::IOException& e)
	{
		EXPECT_EQ("Failed to read MP3 header while reading ByteArrayInputStream", messageOf(e));
	}
	EXPECT_LT(testsupport::peakMappedMiB() - mappedBefore, 64);
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
