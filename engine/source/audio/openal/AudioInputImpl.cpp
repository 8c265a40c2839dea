#include "AudioInputImpl.h"

namespace audio {

AudioInputImpl::AudioInputImpl(const AudioConfiguration& config) : m_config(config)
{
	checkConfiguration(config, "AudioInput");
}

} // audio
