#ifndef AUDIO_AUDIOCONFIGURATION_H
#define AUDIO_AUDIOCONFIGURATION_H

namespace audio {

// Format of a PCM stream: a plain value copied wherever it is needed.
struct AudioConfiguration
{
	int channels;
	int bitsPerSample;
	int samplesPerSecond;
};

// Accepts 1 or 2 channels, 8 or 16 bits and the sample rates from 8000 to 96000 Hz that devices
// offer; throws lang::Exception "Unsupported ... while creating <creator>" for the first that fails.
void checkConfiguration(const AudioConfiguration& config, const char* creator);

} // audio

#endif
