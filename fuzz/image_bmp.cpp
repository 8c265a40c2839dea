#include "ImageFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	fuzzing::readImage(data, size, io::FILEFORMAT_BMP);
	return 0;
}
