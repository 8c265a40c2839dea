// Reads the title of arbitrary bytes taken as a web page.
#include <platform/HtmlTitle.h>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	platform::HtmlTitle::extract(std::string(reinterpret_cast<const char*>(data), size));
	return 0;
}
