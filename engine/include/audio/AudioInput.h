#ifndef AUDIO_AUDIOINPUT_H
#define AUDIO_AUDIOINPUT_H

#include <audio/AudioConfiguration.h>
#include <lang/Object.h>
#include <lang/Ptr.h>

namespace audio {

class AudioInputImpl;

// The capture side's handle, owning its implementation; held by lang::Ptr. This platform records
// nothing: the input validates its configuration and starting it succeeds.
class AudioInput : public lang::Object
{
public:
	// Throws lang::Exception for a configuration outside 1-2 channels, 8 or 16 bits and the
	// usual sample rates.
	explicit AudioInput(const AudioConfiguration& config);
	~AudioInput() override;

	// Always succeeds; nothing is recorded.
	bool startInput();
	void stopInput();

	const AudioConfiguration& configuration() const;

private:
	lang::Ptr<AudioInputImpl> m_impl;
};

} // audio

#endif
