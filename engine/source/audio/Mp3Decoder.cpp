#include "Mp3Decoder.h"

#include <io/IOException.h>
#include <io/InputStream.h>
#include <lang/String.h>

#include <mpg123.h>

#include <mutex>

namespace audio {

namespace {

// Decoders alive; mpg123's global state lives while it is above 0.
int s_libraryUsers = 0;
std::mutex s_libraryLock;

} // namespace

Mp3Decoder::Mp3Decoder(io::InputStream* stream)
	: m_stream(stream), m_handle(nullptr), m_sampleRate(0), m_channels(0), m_bitsPerSample(0), m_position(0)
{
	acquireLibrary(stream);
	int error = MPG123_OK;
	m_handle = mpg123_new(nullptr, &error);
	if (!m_handle || error != MPG123_OK)
	{
		if (m_handle)
			mpg123_delete(m_handle);
		releaseLibrary();
		fail("Failed to allocate MPG123 while reading {0}");
	}
	try
	{
		// Every sound plays as signed 16-bit samples at its own rate and channel count. Tags
		// are skipped unread: mpg123 would take memory for a whole tag by the size its header
		// claims, up to 256 MB, before any of it is there.
		mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0.0);
		mpg123_format_none(m_handle);
		const long* rates = nullptr;
		size_t rateCount = 0;
		mpg123_rates(&rates, &rateCount);
		for (size_t i = 0; i < rateCount; ++i)
			mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
		if (mpg123_open_feed(m_handle) != MPG123_OK)
			fail("Failed to open MPG123 feed while reading {0}");
		readFormat();
	}
	catch (...)
	{
		mpg123_delete(m_handle);
		releaseLibrary();
		throw;
	}
}

Mp3Decoder::~Mp3Decoder()
{
	mpg123_delete(m_handle);
	releaseLibrary();
}

void Mp3Decoder::readFormat()
{
	// Feed mode never reports the end of the input: a stream that runs out before the first
	// frame (garbage or a cut file) is a header error.
	for (;;)
	{
		const int n = m_stream->read(m_feed, FEED_BYTES);
		if (n <= 0)
			fail("Failed to read MP3 header while reading {0}");
		size_t done = 0;
		const int result = mpg123_decode(m_handle, m_feed, static_cast<size_t>(n), nullptr, 0, &done);
		if (result == MPG123_NEW_FORMAT)
			break;
		if (result != MPG123_NEED_MORE)
			fail("Failed to read MP3 header while reading {0}");
	}
	long rate = 0;
	int channels = 0;
	int encoding = 0;
	if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK)
		fail("Failed to read MP3 header while reading {0}");
	m_sampleRate = static_cast<int>(rate);
	m_channels = channels;
	if ((encoding & MPG123_ENC_8) == MPG123_ENC_8)
		m_bitsPerSample = 8;
	else if ((encoding & MPG123_ENC_16) == MPG123_ENC_16)
		m_bitsPerSample = 16;
	else if ((encoding & MPG123_ENC_32) == MPG123_ENC_32)
		m_bitsPerSample = 32;
	else
		fail("Invalid bits per sample while reading {0}");
}

int Mp3Decoder::read(void* dst, int offset, int bytes)
{
	if (bytes <= 0 || offset < 0)
		return 0;
	if (offset != m_position)
		seek(offset);
	return decode(static_cast<unsigned char*>(dst), bytes);
}

void Mp3Decoder::restart()
{
	// A reopened feed decodes the stream exactly as the first time did.
	mpg123_close(m_handle);
	if (mpg123_open_feed(m_handle) != MPG123_OK)
		fail("Failed to open MPG123 feed while reading {0}");
	m_stream->seek(0, io::InputStream::SEEKMODE_START);
	m_position = 0;
}

void Mp3Decoder::seek(int offset)
{
	// mpg123's own seeking in feed mode lands off the requested sample, or decodes the frames
	// after it from a bit reservoir it never filled, in files without an encoder header, with
	// variable bit rates or at low sample rates. Decoding from the start and discarding up to
	// the offset gives every position the bytes of the first pass; a jump back therefore costs
	// the decoding of everything before its target.
	if (offset < m_position)
		restart();
	unsigned char discarded[FEED_BYTES];
	while (m_position < offset)
	{
		const int want = offset - m_position < FEED_BYTES ? offset - m_position : FEED_BYTES;
		if (decode(discarded, want) == 0)
			break;
	}
}

int Mp3Decoder::decode(unsigned char* dst, int bytes)
{
	int produced = 0;
	while (produced < bytes)
	{
		size_t done = 0;
		const int result = mpg123_decode(m_handle, nullptr, 0, dst + produced, static_cast<size_t>(bytes - produced), &done);
		produced += static_cast<int>(done);
		if (result == MPG123_NEED_MORE)
		{
			if (!feed())
				break;
		}
		else if (result == MPG123_NEW_FORMAT)
		{
			long rate = 0;
			int channels = 0;
			int encoding = 0;
			mpg123_getformat(m_handle, &rate, &channels, &encoding);
			if (rate != m_sampleRate || channels != m_channels)
				fail("MP3 format changes within the stream while reading {0}");
		}
		else if (result == MPG123_DONE)
		{
			break;
		}
		else if (result != MPG123_OK)
		{
			fail("Failed to decode MP3 while reading {0}");
		}
	}
	m_position += produced;
	return produced;
}

bool Mp3Decoder::feed()
{
	const int n = m_stream->read(m_feed, FEED_BYTES);
	if (n <= 0)
		return false;
	if (mpg123_feed(m_handle, m_feed, static_cast<size_t>(n)) != MPG123_OK)
		fail("Failed to decode MP3 while reading {0}");
	return true;
}

void Mp3Decoder::fail(const char* message) const
{
	lang::throwError(io::IOException(lang::Format(message, m_stream->toString())));
}

void Mp3Decoder::acquireLibrary(io::InputStream* stream)
{
	std::lock_guard<std::mutex> guard(s_libraryLock);
	if (s_libraryUsers == 0 && mpg123_init() != MPG123_OK)
		lang::throwError(io::IOException(lang::Format("Failed to initialize MPG123 while reading {0}", stream->toString())));
	++s_libraryUsers;
}

void Mp3Decoder::releaseLibrary()
{
	std::lock_guard<std::mutex> guard(s_libraryLock);
	if (--s_libraryUsers == 0)
		mpg123_exit();
}

} // audio
