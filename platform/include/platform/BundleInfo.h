#ifndef PLATFORM_BUNDLEINFO_H
#define PLATFORM_BUNDLEINFO_H

#include <string>

namespace platform {

// What the application's bundle says of itself; stateless. Everything that counts or reports by
// application version (the rating prompt, the analytics session records) asks here.
class BundleInfo
{
public:
	// The application's version as the store knows it.
	static std::string version();
};

} // platform

#endif
