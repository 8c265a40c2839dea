// Reads fuzz bytes as a WAV sound: header, then the PCM in pieces and once more from an offset.
#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Throwable.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	try
	{
		io::ByteArrayInputStream stream(data, static_cast<int>(size));
		audio::AudioReader reader(&stream, io::FILEFORMAT_WAV);
		uint8_t pcm[1024];
		int offset = 0;
		while (int n = reader.readData(pcm, offset, sizeof(pcm)))
			offset += n;
		reader.readData(pcm, reader.dataSize() / 2 + 1, sizeof(pcm));
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
