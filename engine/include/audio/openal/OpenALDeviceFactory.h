#ifndef AUDIO_OPENALDEVICEFACTORY_H
#define AUDIO_OPENALDEVICEFACTORY_H

#include <audio/AudioConfiguration.h>

#include <AL/alc.h>

namespace audio {

// Opens the OpenAL device and context an audio output plays through. The output owns what it is
// given and closes it when destroyed; a factory must outlive the outputs made with it. Tests
// substitute a loopback device to render sound without hardware.
class OpenALDeviceFactory
{
public:
	virtual ~OpenALDeviceFactory() = default;

	// The device to play on, or null when there is none.
	virtual ALCdevice* openDevice(const AudioConfiguration& config) = 0;
	// A context on device, or null when it cannot be made.
	virtual ALCcontext* createContext(ALCdevice* device, const AudioConfiguration& config) = 0;

	// The system's default output device; lives for the whole process.
	static OpenALDeviceFactory& systemDefault();
};

} // audio

#endif
