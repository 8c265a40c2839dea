#include <audio/openal/OpenALDeviceFactory.h>

namespace audio {

namespace {

// The device OpenAL chooses by default, with the context's default attributes.
class SystemDeviceFactory : public OpenALDeviceFactory
{
public:
	ALCdevice* openDevice(const AudioConfiguration&) override { return alcOpenDevice(nullptr); }
	ALCcontext* createContext(ALCdevice* device, const AudioConfiguration&) override { return alcCreateContext(device, nullptr); }
};

} // namespace

OpenALDeviceFactory& OpenALDeviceFactory::systemDefault()
{
	static SystemDeviceFactory factory;
	return factory;
}

} // audio
