#include <audio/AudioReader.h>

#include "Mp3Decoder.h"

#include <io/IOException.h>
#include <io/InputStream.h>
#include <lang/Exception.h>
#include <lang/String.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace audio {

namespace {

// Bytes of a RIFF chunk header: four-character id and 32-bit size.
constexpr int CHUNK_HEADER_BYTES = 8;
// Bytes of the fmt chunk body that describe PCM; any further bytes are skipped.
constexpr int PCM_FORMAT_BYTES = 16;
// Bytes of the fmt chunk body of the extensible format, whose sub-format names the encoding.
constexpr int EXTENSIBLE_FORMAT_BYTES = 40;
constexpr int SUB_FORMAT_OFFSET = 24;
constexpr int AUDIO_FORMAT_PCM = 1;
constexpr int AUDIO_FORMAT_EXTENSIBLE = 0xFFFE;
// The sub-format of integer PCM in an extensible fmt chunk.
constexpr unsigned char PCM_SUB_FORMAT[16] = {
	0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Chunk ids are four printable ASCII characters.
bool canStartChunkId(unsigned char byte)
{
	return byte >= 0x20 && byte <= 0x7E;
}

// A chunk size from the file limited to the bytes the stream still holds.
int boundedByStream(unsigned int size, io::InputStream* stream)
{
	const int available = stream->available();
	if (available <= 0)
		return 0;
	return size < static_cast<unsigned int>(available) ? static_cast<int>(size) : available;
}

// bytes cut down to whole sample frames, so that a sound cut inside a frame neither ends on part
// of one nor, when looping, starts its next pass out of step (channels swapped, or the bytes
// of each sample taken in the wrong order). A frame size of 0 or less leaves bytes whole.
int wholeFrames(int bytes, int frameBytes)
{
	return frameBytes > 0 ? bytes - bytes % frameBytes : bytes;
}

} // namespace

AudioReader::AudioReader(io::InputStream* stream, io::FileFormat format)
{
	reset(stream, format, AudioConfiguration{0, 0, 0});
}

AudioReader::AudioReader(io::InputStream* stream, const AudioConfiguration& config)
{
	reset(stream, io::FILEFORMAT_UNKNOWN, config);
}

AudioReader::~AudioReader() = default;

void AudioReader::reset(io::InputStream* stream, io::FileFormat format, const AudioConfiguration& config)
{
	m_stream = stream;
	m_format = format;
	m_audioFormat = 0;
	m_channels = 0;
	m_sampleRate = 0;
	m_byteRate = 0;
	m_blockAlign = 0;
	m_bitsPerSample = 0;
	m_dataSize = 0;
	m_dataOffset = 0;
	m_decoder = nullptr;
	switch (format)
	{
	case io::FILEFORMAT_WAV:
		readHeaderWav();
		break;
	case io::FILEFORMAT_MP3:
		readHeaderMp3();
		break;
	case io::FILEFORMAT_UNKNOWN:
		readHeaderRaw(config);
		break;
	default:
		throwUnsupportedFormat();
	}
}

int AudioReader::readData(void* dst, int offset, int bytes)
{
	switch (m_format)
	{
	case io::FILEFORMAT_WAV:
		return readDataPcm(dst, offset, bytes);
	case io::FILEFORMAT_MP3:
		return m_decoder->read(dst, offset, bytes);
	default:
		throwUnsupportedFormat();
	}
}

void AudioReader::readHeaderWav()
{
	const int total = m_stream->available();
	unsigned char riff[12];
	readFully(m_stream, riff, sizeof(riff));
	if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
		lang::throwError(lang::Exception(lang::Format("Only RIFF/WAVE sounds are currently supported")));

	bool formatSeen = false;
	while (m_stream->available() > 0)
	{
		unsigned char header[CHUNK_HEADER_BYTES];
		readFully(m_stream, header, sizeof(header));
		const unsigned int size = getUInt32LE(header, 4);
		if (std::memcmp(header, "data", 4) == 0)
		{
			if (!formatSeen)
				lang::throwError(lang::Exception(lang::Format("Missing fmt chunk before data chunk in wav file")));
			// A recording cut short still plays what it holds: the size field is not trusted
			// beyond the bytes the stream holds.
			m_dataSize = wholeFrames(boundedByStream(size, m_stream), m_channels * (m_bitsPerSample / 8));
			m_dataOffset = total - m_stream->available();
			return;
		}
		// A chunk cut short would leave the search for "data" lost in the wrong bytes.
		if (size > static_cast<unsigned int>(m_stream->available()))
			lang::throwError(io::IOException(lang::Format("WAV chunk of {0} bytes runs past the end of the file while reading {1}", size, m_stream->toString())));
		if (std::memcmp(header, "fmt ", 4) == 0)
		{
			readFormatChunk(size);
			formatSeen = true;
		}
		else
		{
			m_stream->skip(static_cast<int>(size));
		}
		if (size % 2 == 1)
			skipPadByte();
	}
}

void AudioReader::skipPadByte()
{
	// Chunks of odd size are followed by a pad byte, but some writers leave it out: a byte that
	// can begin a chunk id is taken as the next chunk's.
	unsigned char pad = 0;
	if (m_stream->read(&pad, 1) == 1 && canStartChunkId(pad))
		m_stream->seek(-1, io::InputStream::SEEKMODE_CURRENT);
}

void AudioReader::readFormatChunk(unsigned int size)
{
	if (size < static_cast<unsigned int>(PCM_FORMAT_BYTES))
		lang::throwError(io::IOException(lang::Format("WAV fmt chunk of {0} bytes is too short while reading {1}", size, m_stream->toString())));
	unsigned char body[EXTENSIBLE_FORMAT_BYTES];
	const int used = size < static_cast<unsigned int>(EXTENSIBLE_FORMAT_BYTES) ? static_cast<int>(size) : EXTENSIBLE_FORMAT_BYTES;
	readFully(m_stream, body, used);
	const int tag = static_cast<int>(getUInt16LE(body, 0));
	m_channels = static_cast<int>(getUInt16LE(body, 2));
	m_sampleRate = static_cast<int>(getUInt32LE(body, 4) & 0x7fffffffu);
	m_byteRate = static_cast<int>(getUInt32LE(body, 8) & 0x7fffffffu);
	m_blockAlign = static_cast<int>(getUInt16LE(body, 12));
	m_bitsPerSample = static_cast<int>(getUInt16LE(body, 14));
	// Tools write integer PCM with the extensible header for many channels or wide samples;
	// it is read like plain PCM.
	const bool extensiblePcm = tag == AUDIO_FORMAT_EXTENSIBLE && used == EXTENSIBLE_FORMAT_BYTES
		&& std::memcmp(body + SUB_FORMAT_OFFSET, PCM_SUB_FORMAT, sizeof(PCM_SUB_FORMAT)) == 0;
	if (tag != AUDIO_FORMAT_PCM && !extensiblePcm)
		lang::throwError(lang::Exception(lang::Format("WAV was not PCM! RIFF AudioEncoding TwoCC value: 0x{0,x}", tag)));
	// The mixer neither converts sample widths nor mixes down channels: any other layout
	// would play as noise.
	if (m_channels != 1 && m_channels != 2)
		lang::throwError(io::IOException(lang::Format("{0} channels are not supported while reading {1}", m_channels, m_stream->toString())));
	if (m_bitsPerSample != 8 && m_bitsPerSample != 16)
		lang::throwError(io::IOException(lang::Format("{0}-bit samples are not supported while reading {1}", m_bitsPerSample, m_stream->toString())));
	m_audioFormat = AUDIO_FORMAT_PCM;
	m_stream->skip(static_cast<int>(size) - used);
}

void AudioReader::readHeaderRaw(const AudioConfiguration& config)
{
	m_audioFormat = AUDIO_FORMAT_PCM;
	m_channels = config.channels;
	m_sampleRate = config.samplesPerSecond;
	m_bitsPerSample = config.bitsPerSample;
	// The stated configuration comes from scripts: products are kept within 32 bits.
	const long long blockAlign = static_cast<long long>(m_channels) * m_bitsPerSample / 8;
	const long long byteRate = static_cast<long long>(m_sampleRate) * blockAlign;
	m_blockAlign = static_cast<int>(std::clamp<long long>(blockAlign, INT_MIN, INT_MAX));
	m_byteRate = static_cast<int>(std::clamp<long long>(byteRate, INT_MIN, INT_MAX));
	m_dataSize = wholeFrames(m_stream->available(), m_blockAlign);
	m_dataOffset = 0;
	// Raw data reads like the data chunk of a WAV file.
	m_format = io::FILEFORMAT_WAV;
}

void AudioReader::readHeaderMp3()
{
	m_decoder = new Mp3Decoder(m_stream);
	m_channels = m_decoder->channels();
	m_sampleRate = m_decoder->sampleRate();
	m_bitsPerSample = m_decoder->bitsPerSample();
	m_dataSize = -1;
}

int AudioReader::readDataPcm(void* dst, int offset, int bytes)
{
	if (offset < 0 || bytes <= 0 || offset >= m_dataSize)
		return 0;
	const int count = bytes > m_dataSize - offset ? m_dataSize - offset : bytes;
	m_stream->seek(m_dataOffset + offset, io::InputStream::SEEKMODE_START);
	const int got = m_stream->read(dst, count);
	return got > 0 ? got : 0;
}

void AudioReader::readFully(io::InputStream* stream, void* dst, int bytes)
{
	if (stream->read(dst, bytes) != bytes)
		lang::throwError(io::IOException(lang::Format("Failed to read {0} bytes from {1}", bytes, stream->toString())));
}

unsigned int AudioReader::getUInt16LE(const void* data, int offset)
{
	const unsigned char* p = static_cast<const unsigned char*>(data) + offset;
	return p[0] | (p[1] << 8);
}

unsigned int AudioReader::getUInt32LE(const void* data, int offset)
{
	const unsigned char* p = static_cast<const unsigned char*>(data) + offset;
	return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned int>(p[3]) << 24);
}

void AudioReader::throwUnsupportedFormat() const
{
	lang::throwError(io::IOException(lang::Format("Unsupported audio file format while reading {0}", m_stream->toString())));
}

} // audio
