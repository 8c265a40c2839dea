// Formats an arbitrary template with a number, a text and the number's bits as a signed and an
// unsigned integer into buffers of every size.
#include <lang/Format.h>
#include <lang/FormatException.h>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	double number = 0.0;
	if (size >= sizeof(number))
	{
		std::memcpy(&number, data, sizeof(number));
		data += sizeof(number);
		size -= sizeof(number);
	}
	int64_t bits = 0;
	std::memcpy(&bits, &number, sizeof(bits));
	const lang::String pattern(reinterpret_cast<const char*>(data), static_cast<int>(size));
	try
	{
		const lang::Format format(pattern, number, pattern, bits, static_cast<uint64_t>(bits));
		const lang::String whole = format.format();
		std::vector<char> buffer(16);
		for (int room = 0; room <= static_cast<int>(buffer.size()); ++room)
		{
			if (format.format(buffer.data(), room) != whole.length() + 1)
				__builtin_trap();
		}
	}
	catch (const lang::FormatException&)
	{
	}
	return 0;
}
