#include "AudioFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	fuzzing::readSound(data, size, io::FILEFORMAT_MP3);
	return 0;
}
