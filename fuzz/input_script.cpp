// Parses arbitrary bytes as a timed input script: malformed scripts must be refused with
// std::invalid_argument, never crash.
#include <platform/InputScript.h>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	try
	{
		platform::InputScript::parse(std::string(reinterpret_cast<const char*>(data), size));
	}
	catch (const std::invalid_argument&)
	{
	}
	return 0;
}
