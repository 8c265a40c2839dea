#include <world/uniqueid.h>

#include <platform/Device.h>

lang::String getUniqueID()
{
	const std::string identifier = platform::Device::uniqueIdentifier();
	return lang::String(identifier.data(), static_cast<int>(identifier.size()));
}
