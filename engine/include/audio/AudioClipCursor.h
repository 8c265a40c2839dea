#ifndef AUDIO_AUDIOCLIPCURSOR_H
#define AUDIO_AUDIOCLIPCURSOR_H

#include <lang/Object.h>

namespace audio {

// Read position of one playing instance in its clip's decoded PCM. Shared by lang::Ptr between
// the instance record and its copies; only the mixing thread moves it.
class AudioClipCursor : public lang::Object
{
public:
	// Byte offset into the clip's decoded PCM.
	int position = 0;
};

} // audio

#endif
