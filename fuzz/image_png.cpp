#include "ImageFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	fuzzing::readImage(data, size, io::FILEFORMAT_PNG);
	return 0;
}
