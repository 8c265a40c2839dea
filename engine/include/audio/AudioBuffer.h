#ifndef AUDIO_AUDIOBUFFER_H
#define AUDIO_AUDIOBUFFER_H

#include <lang/Mutex.h>
#include <lang/Object.h>

#include <vector>

namespace audio {

class AudioClip;
class AudioClipCursor;

// Ring buffer that holds decoded bytes of one clip ahead of playback, so a clip instance can take
// its data from memory. Filled by a buffer pump (or on demand) and drained by the mixing thread;
// its lock guards the ring. The clip and cursor are not owned: the instance that uses the buffer
// holds them for as long as it holds the buffer.
class AudioBuffer : public lang::Object
{
public:
	AudioBuffer(AudioClip* clip, AudioClipCursor* cursor, int capacity);

	// Tops the ring up from the clip; marks the end of data when the clip delivers less.
	void fillBuffer();
	// Copies up to bytes out of the ring, filling first as needed. bytes above the capacity could
	// never be satisfied and throw lang::Exception.
	int get(void* dst, int bytes);
	// What an instance calls in place of the clip's getData: any byte count, in pieces of at most
	// the capacity. Clears the end of data so filling resumes after a looping instance restarts.
	int getData(void* dst, int bytes);

	// Bytes written and not yet read.
	int filled() const;

private:
	const int m_capacity;
	int m_filled;
	std::vector<unsigned char> m_storage;
	int m_readIndex;
	int m_writeIndex;
	bool m_endOfData;
	AudioClipCursor* m_cursor;
	AudioClip* m_clip;
	mutable lang::Mutex m_lock;
};

} // audio

#endif
