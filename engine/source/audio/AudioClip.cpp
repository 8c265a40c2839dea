#include <audio/AudioClip.h>

#include <audio/AudioClipCursor.h>
#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>
#include <io/FileFormat.h>
#include <io/FileInputStream.h>
#include <lang/String.h>

namespace audio {

AudioClip::AudioClip(AudioOutput*, const lang::String& name)
{
	m_stream = new io::FileInputStream(name);
	m_reader = new AudioReader(m_stream, io::guessFileFormat(name));
}

AudioClip::AudioClip(AudioOutput*, const void* data, int size, const AudioConfiguration& config)
{
	m_stream = new io::ByteArrayInputStream(data, size);
	m_reader = new AudioReader(m_stream, config);
}

AudioClip::~AudioClip()
{
	// The reader points at the stream, so it goes first.
	m_reader = nullptr;
	m_stream = nullptr;
}

int AudioClip::getData(void* dst, int bytes, AudioClipCursor* cursor)
{
	const int n = m_reader->readData(dst, cursor->position, bytes);
	cursor->position += n;
	return n;
}

int AudioClip::audioFormat() const { return m_reader->audioFormat(); }
int AudioClip::channels() const { return m_reader->channels(); }
int AudioClip::sampleRate() const { return m_reader->sampleRate(); }
int AudioClip::byteRate() const { return m_reader->byteRate(); }
int AudioClip::blockAlign() const { return m_reader->blockAlign(); }
int AudioClip::bitsPerSample() const { return m_reader->bitsPerSample(); }
int AudioClip::dataSize() const { return m_reader->dataSize(); }

} // audio
