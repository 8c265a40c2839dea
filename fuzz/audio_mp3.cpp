// Decodes fuzz bytes as an MP3 stream, then seeks back into it and decodes again.
#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Throwable.h>

#include <cstddef>
#include <cstdint>

namespace {

// Decoded bytes looked at per input, so one input cannot run for long.
constexpr int MAX_DECODED_BYTES = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	try
	{
		io::ByteArrayInputStream stream(data, static_cast<int>(size));
		audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
		uint8_t pcm[4096];
		int offset = 0;
		while (offset < MAX_DECODED_BYTES)
		{
			const int n = reader.readData(pcm, offset, sizeof(pcm));
			if (n == 0)
				break;
			offset += n;
		}
		reader.readData(pcm, 0, sizeof(pcm));
		reader.readData(pcm, offset / 2 + 2, sizeof(pcm));
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
