#ifndef AUDIO_AUDIOREADER_H
#define AUDIO_AUDIOREADER_H

#include <audio/AudioConfiguration.h>
#include <io/FileFormat.h>
#include <lang/Object.h>
#include <lang/Ptr.h>

namespace io {
class InputStream;
}

namespace audio {

class Mp3Decoder;

// Decoder front end of a clip: reads a WAV header, an MP3 stream or states raw PCM once, then
// serves reads of decoded PCM by byte offset. The stream is not owned (the clip holds it) and
// must outlive the reader. Used by one thread at a time.
class AudioReader : public lang::Object
{
public:
	AudioReader(io::InputStream* stream, io::FileFormat format);
	// Raw PCM of the stated configuration: the whole stream is sample data.
	AudioReader(io::InputStream* stream, const AudioConfiguration& config);
	~AudioReader() override;

	// Reads the header of format (WAV, MP3 or, for 0, raw PCM of config) from the stream.
	void reset(io::InputStream* stream, io::FileFormat format, const AudioConfiguration& config);

	// Copies the decoded PCM bytes [offset, offset + bytes) to dst; returns the count copied,
	// 0 at the end of the sound.
	int readData(void* dst, int offset, int bytes);

	int audioFormat() const { return m_audioFormat; }
	int channels() const { return m_channels; }
	int sampleRate() const { return m_sampleRate; }
	int byteRate() const { return m_byteRate; }
	int blockAlign() const { return m_blockAlign; }
	int bitsPerSample() const { return m_bitsPerSample; }
	// Bytes of PCM in whole sample frames (a partial last frame is left out); -1 for MP3, whose
	// length is not known before decoding.
	int dataSize() const { return m_dataSize; }

	// One read of exactly bytes, else io::IOException "Failed to read {0} bytes from {1}".
	static void readFully(io::InputStream* stream, void* dst, int bytes);
	static unsigned int getUInt16LE(const void* data, int offset);
	static unsigned int getUInt32LE(const void* data, int offset);

private:
	io::InputStream* m_stream;
	io::FileFormat m_format;
	int m_audioFormat;
	int m_channels;
	int m_sampleRate;
	int m_byteRate;
	int m_blockAlign;
	int m_bitsPerSample;
	int m_dataSize;
	// Where the PCM begins, in bytes from the stream's start.
	int m_dataOffset;
	lang::Ptr<Mp3Decoder> m_decoder;

	void readHeaderWav();
	// Reads an fmt chunk body of size bytes, which the stream is known to hold.
	void readFormatChunk(unsigned int size);
	void skipPadByte();
	void readHeaderRaw(const AudioConfiguration& config);
	void readHeaderMp3();
	int readDataPcm(void* dst, int offset, int bytes);
	[[noreturn]] void throwUnsupportedFormat() const;

	AudioReader(const AudioReader&) = delete;
	AudioReader& operator=(const AudioReader&) = delete;
};

} // audio

#endif
