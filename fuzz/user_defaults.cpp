// Reads arbitrary bytes as a user-defaults file; what it reads must write back to the same values.
#include <platform/UserDefaults.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const auto values = platform::UserDefaults::parse(std::string(reinterpret_cast<const char*>(data), size));
	if (platform::UserDefaults::parse(platform::UserDefaults::serialize(values)) != values)
		std::abort();
	return 0;
}
