#ifndef AUDIO_MP3DECODER_H
#define AUDIO_MP3DECODER_H

#include <lang/Object.h>

struct mpg123_handle_struct;

namespace io {
class InputStream;
}

namespace audio {

// mpg123 in feed mode over a stream that it does not own: finds the format on construction,
// then decodes signed 16-bit PCM by byte offset. A read that does not continue where the last
// one stopped decodes its way to the offset, from the stream's start when it lies behind, so
// every position gives the bytes of the first pass. Owned by its AudioReader; used by one thread
// at a time.
class Mp3Decoder : public lang::Object
{
public:
	// Reads the stream until the first frame's format is known; throws io::IOException.
	explicit Mp3Decoder(io::InputStream* stream);
	~Mp3Decoder() override;

	int sampleRate() const { return m_sampleRate; }
	int channels() const { return m_channels; }
	int bitsPerSample() const { return m_bitsPerSample; }

	// Decodes the PCM bytes [offset, offset + bytes) into dst; returns the count, 0 at the end.
	int read(void* dst, int offset, int bytes);

private:
	// Bytes of input handed to mpg123 per feed.
	static constexpr int FEED_BYTES = 2048;

	io::InputStream* m_stream;
	mpg123_handle_struct* m_handle;
	int m_sampleRate;
	int m_channels;
	int m_bitsPerSample;
	// Byte offset of the next decoded byte.
	int m_position;
	unsigned char m_feed[FEED_BYTES];

	void readFormat();
	// Reopens the feed at the stream's start.
	void restart();
	// Decodes and discards up to offset.
	void seek(int offset);
	// Decodes up to bytes into dst; stops at the end of the stream.
	int decode(unsigned char* dst, int bytes);
	// Feeds the next piece of the stream; false at its end.
	bool feed();
	[[noreturn]] void fail(const char* message) const;

	static void acquireLibrary(io::InputStream* stream);
	static void releaseLibrary();

	Mp3Decoder(const Mp3Decoder&) = delete;
	Mp3Decoder& operator=(const Mp3Decoder&) = delete;
};

} // audio

#endif
