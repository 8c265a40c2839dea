#ifndef AUDIO_AUDIOCLIPINSTANCE_H
#define AUDIO_AUDIOCLIPINSTANCE_H

#include <lang/Ptr.h>

#include <atomic>

namespace audio {

class AudioBuffer;
class AudioClip;
class AudioClipCursor;

// One playing (or queued) use of a clip inside the mixer, copied by value into and out of the
// mixer's lists; copies share the clip, cursor and buffer. Volume, paused and ended are atomic
// because the application thread changes them in place while the mixing thread reads them.
class AudioClipInstance
{
public:
	AudioClipInstance();
	AudioClipInstance(const AudioClipInstance& other);
	AudioClipInstance& operator=(const AudioClipInstance& other);
	~AudioClipInstance();

	// Fills dst with up to bytes of the sound, wrapping to the start when looping; sets ended
	// when a sound without loop has run out, or when a looping one holds no data at all.
	int fetchData(void* dst, int bytes);

	lang::Ptr<AudioClip> clip;
	lang::Ptr<AudioClipCursor> cursor;
	// When set, data comes from this ring buffer instead of from the clip.
	lang::Ptr<AudioBuffer> buffer;
	// 1.0 is unity.
	std::atomic<float> volume;
	int id;
	// 0..7
	int track;
	bool loop;
	// A paused instance is skipped by the mix but still counts as playing.
	std::atomic<bool> paused;
	std::atomic<bool> ended;
};

} // audio

#endif
