#include <audio/AudioClipInstance.h>

#include <audio/AudioBuffer.h>
#include <audio/AudioClip.h>
#include <audio/AudioClipCursor.h>

namespace audio {

AudioClipInstance::AudioClipInstance()
	: volume(1.0f), id(-1), track(0), loop(false), paused(false), ended(false)
{
}

AudioClipInstance::AudioClipInstance(const AudioClipInstance& other)
	: clip(other.clip), cursor(other.cursor), buffer(other.buffer), volume(other.volume.load()), id(other.id),
	  track(other.track), loop(other.loop), paused(other.paused.load()), ended(other.ended.load())
{
}

AudioClipInstance& AudioClipInstance::operator=(const AudioClipInstance& other)
{
	clip = other.clip;
	cursor = other.cursor;
	buffer = other.buffer;
	volume = other.volume.load();
	id = other.id;
	track = other.track;
	loop = other.loop;
	paused = other.paused.load();
	ended = other.ended.load();
	return *this;
}

AudioClipInstance::~AudioClipInstance() = default;

int AudioClipInstance::fetchData(void* dst, int bytes)
{
	if (bytes <= 0)
		return 0;
	unsigned char* out = static_cast<unsigned char*>(dst);
	int got = 0;
	bool restarted = false;
	for (;;)
	{
		const int n = buffer ? buffer->getData(out + got, bytes - got) : clip->getData(out + got, bytes - got, cursor);
		got += n;
		if (n == 0)
		{
			// A looping sound that yields nothing right after a restart is empty: end it
			// rather than spin on the mixing thread.
			if (!loop || restarted)
			{
				ended = true;
				return got;
			}
			cursor->position = 0;
			restarted = true;
		}
		else
		{
			restarted = false;
		}
		if (!loop || got >= bytes)
			return got;
	}
}

} // audio
