#include <lang/Huffman16.h>
#include <lang/Throwable.h>

#include <cstdint>
#include <vector>

// The first byte sets the output capacity; the rest is the block.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	if (size < 1)
		return 0;
	std::vector<unsigned short> out(static_cast<size_t>(data[0]) * 16);
	lang::Huffman16 huffman;
	try
	{
		huffman.decompress(data + 1, static_cast<int>(size - 1), out.data(), static_cast<int>(out.size()));
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
