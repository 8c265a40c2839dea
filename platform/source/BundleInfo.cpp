#include <platform/BundleInfo.h>

namespace platform {

namespace {

// Changes with each release: the rating prompt starts counting anew for a new version.
const char* const VERSION = "1.0";

} // namespace

std::string BundleInfo::version()
{
	return VERSION;
}

} // platform
