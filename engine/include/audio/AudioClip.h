#ifndef AUDIO_AUDIOCLIP_H
#define AUDIO_AUDIOCLIP_H

#include <audio/AudioConfiguration.h>
#include <lang/Object.h>
#include <lang/Ptr.h>

namespace io {
class InputStream;
}

namespace lang {
class String;
}

namespace audio {

class AudioClipCursor;
class AudioOutput;
class AudioReader;

// One sound: a source stream and the reader that decodes it on demand. Holds no read position,
// so any number of instances play it at once, each through its own cursor. Shared by lang::Ptr;
// the stream and reader live as long as the clip. Decoding happens on the mixing thread.
class AudioClip : public lang::Object
{
public:
	// Streams the named file; the format comes from the name's extension (WAV, MP3, else raw).
	AudioClip(AudioOutput* output, const lang::String& name);
	// Raw PCM of config, copied out of data at once.
	AudioClip(AudioOutput* output, const void* data, int size, const AudioConfiguration& config);
	~AudioClip() override;

	// Reads up to bytes of PCM at the cursor into dst and moves the cursor on; 0 at the end.
	virtual int getData(void* dst, int bytes, AudioClipCursor* cursor);

	virtual int audioFormat() const;
	virtual int channels() const;
	virtual int sampleRate() const;
	virtual int byteRate() const;
	virtual int blockAlign() const;
	virtual int bitsPerSample() const;
	virtual int dataSize() const;

private:
	lang::Ptr<io::InputStream> m_stream;
	lang::Ptr<AudioReader> m_reader;

	AudioClip(const AudioClip&) = delete;
	AudioClip& operator=(const AudioClip&) = delete;
};

} // audio

#endif
