#include <audio/AudioInput.h>

#include "openal/AudioInputImpl.h"

namespace audio {

AudioInput::AudioInput(const AudioConfiguration& config) : m_impl(new AudioInputImpl(config))
{
}

AudioInput::~AudioInput() = default;

bool AudioInput::startInput()
{
	return true;
}

void AudioInput::stopInput()
{
}

const AudioConfiguration& AudioInput::configuration() const
{
	return m_impl->configuration();
}

} // audio
