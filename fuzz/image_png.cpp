// Reads arbitrary bytes as a PNG file after giving every whole chunk its correct CRC: libpng
// refuses a chunk whose CRC is wrong, which nearly every mutation causes, and the header checks
// behind it would never be reached.
#include "ImageFuzzing.h"

#include <vector>
#include <zlib.h>

namespace
{

const size_t SIGNATURE_BYTES = 8;
// Length and type before a chunk's data, CRC after it.
const size_t CHUNK_HEAD_BYTES = 8;
const size_t CHUNK_CRC_BYTES = 4;
const size_t CHUNK_TYPE_BYTES = 4;

uint32_t getUInt32BE(const uint8_t* p)
{
	return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Rewrites the CRC of each chunk that lies whole within the file; the CRC covers type and data.
void repairChunkCrcs(std::vector<uint8_t>& file)
{
	size_t at = SIGNATURE_BYTES;
	while (at < file.size() && file.size() - at >= CHUNK_HEAD_BYTES + CHUNK_CRC_BYTES)
	{
		const size_t length = getUInt32BE(&file[at]);
		if (length > file.size() - at - CHUNK_HEAD_BYTES - CHUNK_CRC_BYTES)
			return;
		uint8_t* typeAndData = &file[at + CHUNK_HEAD_BYTES - CHUNK_TYPE_BYTES];
		const uLong crc = crc32(crc32(0L, Z_NULL, 0), typeAndData, static_cast<uInt>(CHUNK_TYPE_BYTES + length));
		uint8_t* out = typeAndData + CHUNK_TYPE_BYTES + length;
		for (size_t i = 0; i < CHUNK_CRC_BYTES; ++i)
			out[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
		at += CHUNK_HEAD_BYTES + length + CHUNK_CRC_BYTES;
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	std::vector<uint8_t> file(data, data + size);
	repairChunkCrcs(file);
	fuzzing::readImage(file.data(), file.size(), io::FILEFORMAT_PNG);
	return 0;
}
