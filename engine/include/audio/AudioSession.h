#ifndef AUDIO_AUDIOSESSION_H
#define AUDIO_AUDIOSESSION_H

namespace audio {

// The process-wide audio session through which sound is allowed to play. On this platform
// there is no session service: the calls only remember the state the program asked for.
class AudioSession
{
public:
	enum Category
	{
		CATEGORY_NONE,
		// Mixes with other sounds and goes quiet with the ring/silent switch.
		CATEGORY_AMBIENT
	};

	static void initialize(Category category);
	static void setActive(bool active);

	static Category category();
	static bool isActive();
};

} // audio

#endif
