#ifndef AUDIO_AUDIOINPUTIMPL_H
#define AUDIO_AUDIOINPUTIMPL_H

#include <audio/AudioConfiguration.h>
#include <lang/Object.h>

namespace audio {

// Capture implementation: checks and keeps the configuration; no device records on this
// platform. Owned by its AudioInput handle.
class AudioInputImpl : public lang::Object
{
public:
	explicit AudioInputImpl(const AudioConfiguration& config);

	const AudioConfiguration& configuration() const { return m_config; }

private:
	AudioConfiguration m_config;
};

} // audio

#endif
