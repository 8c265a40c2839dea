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
constexpr int AUDIO_FORMAT_PCM = 1;

// A chunk size from the file limited to the bytes the stream still holds.
int boundedByStream(unsigned int size, io::InputStream* stream)
{
	const int available = stream->available();
	if (available <= 0)
		return 0;
	return size < static_cast<unsigned int>(available) ? static_cast<int>(size) : available;
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
		if (std::memcmp(header, "fmt ", 4) == 0)
		{
			readFormatChunk(size);
			formatSeen = true;
		}
		else if (std::memcmp(header, "data", 4) == 0)
		{
			if (!formatSeen)
				lang::throwError(lang::Exception(lang::Format("Missing fmt chunk before data chunk in wav file")));
			// The size field is not trusted beyond the bytes the stream holds.
			m_dataSize = boundedByStream(size, m_stream);
			m_dataOffset = total - m_stream->available();
			return;
		}
		else
		{
			// Chunks follow each other without pad bytes, as the sounds of this system are written.
			m_stream->skip(boundedByStream(size, m_stream));
		}
	}
}

void AudioReader::readFormatChunk(unsigned int size)
{
	if (size < static_cast<unsigned int>(PCM_FORMAT_BYTES))
		lang::throwError(io::IOException(lang::Format("WAV fmt chunk of {0} bytes is too short while reading {1}", size, m_stream->toString())));
	unsigned char body[PCM_FORMAT_BYTES];
	readFully(m_stream, body, sizeof(body));
	m_audioFormat = static_cast<int>(getUInt16LE(body, 0));
	if (m_audioFormat != AUDIO_FORMAT_PCM)
		lang::throwError(lang::Exception(lang::Format("WAV was not PCM! RIFF AudioEncoding TwoCC value: 0x{0,x}", m_audioFormat)));
	m_channels = static_cast<int>(getUInt16LE(body, 2));
	m_sampleRate = static_cast<int>(getUInt32LE(body, 4) & 0x7fffffffu);
	m_byteRate = static_cast<int>(getUInt32LE(body, 8) & 0x7fffffffu);
	m_blockAlign = static_cast<int>(getUInt16LE(body, 12));
	m_bitsPerSample = static_cast<int>(getUInt16LE(body, 14));
	m_stream->skip(boundedByStream(size - PCM_FORMAT_BYTES, m_stream));
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
	m_dataSize = m_stream->available();
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
