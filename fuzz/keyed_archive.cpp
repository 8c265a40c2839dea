// Decodes arbitrary bytes as a keyed archive; what decodes must encode back to the same bytes.
#include <platform/KeyedArchive.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string input(reinterpret_cast<const char*>(data), size);
	try
	{
		const platform::ArchiveValue value = platform::KeyedArchive::decode(input);
		if (platform::KeyedArchive::encode(value) != input)
			std::abort();
	}
	catch (const platform::ArchiveError&)
	{
	}
	return 0;
}
