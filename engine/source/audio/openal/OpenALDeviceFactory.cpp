#include <audio/openal/OpenALDeviceFactory.h>

#include "QuietDeviceOpen.h"

namespace audio {

namespace {

// The device OpenAL chooses by default, with the context's default attributes.
class SystemDeviceFactory : public OpenALDeviceFactory
{
public:
	ALCdevice* openDevice(const AudioConfiguration&) override
	{
		// Without a device the output says so in one line of its own.
		QuietDeviceOpen quiet;
		return alcOpenDevice(nullptr);
	}
	ALCcontext* createContext(ALCdevice* device, const AudioConfiguration&) override { return alcCreateContext(device, nullptr); }
};

} // namespace

OpenALDeviceFactory& OpenALDeviceFactory::systemDefault()
{
	static SystemDeviceFactory factory;
	return factory;
}

} // audio
