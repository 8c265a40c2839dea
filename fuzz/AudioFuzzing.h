#ifndef FUZZ_AUDIOFUZZING_H
#define FUZZ_AUDIOFUZZING_H

#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Throwable.h>

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// Decoded bytes looked at per input, so one input cannot run for long.
const int MAX_FUZZ_DECODED_BYTES = 1 << 20;

// Opens the bytes as a sound of the format and reads its PCM in pieces, then once more from the
// start and from the middle, which makes the reader go back; the reader must refuse malformed
// input with an exception, never crash. A sound whose size is known holds whole sample frames.
inline void readSound(const uint8_t* data, size_t size, io::FileFormat format)
{
	try
	{
		io::ByteArrayInputStream stream(data, static_cast<int>(size));
		audio::AudioReader reader(&stream, format);
		const int frameBytes = reader.channels() * (reader.bitsPerSample() / 8);
		if (reader.dataSize() > 0 && (frameBytes <= 0 || reader.dataSize() % frameBytes != 0))
			__builtin_trap();
		uint8_t pcm[4096];
		int offset = 0;
		while (offset < MAX_FUZZ_DECODED_BYTES)
		{
			const int n = reader.readData(pcm, offset, sizeof(pcm));
			if (n == 0)
				break;
			offset += n;
		}
		reader.readData(pcm, 0, sizeof(pcm));
		reader.readData(pcm, offset / 2 + 1, sizeof(pcm));
	}
	catch (const lang::Throwable&)
	{
	}
}

} // fuzzing

#endif
