// Decodes arbitrary bytes in every encoding into a string and encodes the result back.
#include <lang/String.h>
#include <lang/UTFConverter.h>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	if (size < 1)
		return 0;
	const int type = data[0] % 10;
	const lang::UTFConverter converter(static_cast<lang::UTFConverter::EncodingType>(type));
	const lang::String text(data + 1, static_cast<int>(size - 1), converter);

	std::vector<unsigned char> bytes(size);
	const int needed = text.getBytes(bytes.data(), static_cast<int>(bytes.size()), converter);
	if (needed > 0)
	{
		bytes.resize(static_cast<size_t>(needed));
		text.getBytes(bytes.data(), needed, converter);
	}
	std::vector<short> units(static_cast<size_t>(text.length()) + 1);
	text.getUTF16(units.data(), static_cast<int>(units.size()));
	lang::String::fromUTF16(units.data());
	return 0;
}
