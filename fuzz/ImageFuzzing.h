#ifndef FUZZ_IMAGEFUZZING_H
#define FUZZ_IMAGEFUZZING_H

#include <img/ImageReader.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Ptr.h>
#include <lang/Throwable.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace fuzzing {

// Most destination pixels per surface, so that one input cannot run for long (4 MiB at 32 bits).
const int64_t MAX_FUZZ_SURFACE_PIXELS = 1 << 20;

// Entries of the P4 destination palette: a ramp from transparent black to opaque white, 0xAARRGGBB.
const uint32_t PALETTE_STEP = 0x11111111u;
const int PALETTE_ENTRIES = 16;

// Most stored pixel bytes one input byte can stand for: a run-length packet (TGA) of at least
// 2 bytes repeats one pixel up to 128 times, deflate (PNG) expands at most 1032 times, a Huffman
// coded NTX body holds at most 8 two-byte words per byte; the other formats store pixels as they are.
inline int64_t maxExpansion(io::FileFormat fileFormat)
{
	switch (fileFormat)
	{
	case io::FILEFORMAT_TGA:
		return 128;
	case io::FILEFORMAT_PNG:
		return 1032;
	case io::FILEFORMAT_NTX:
		return 16;
	default:
		return 1;
	}
}

// Rows of a width x height surface worth a destination: those the input could fill, and no more
// than the pixel budget allows. The header alone may claim 16 MiB that the harness would allocate
// and clear before the reader finds the data missing; the reader reads and drops rows beyond the
// destination, so clipping keeps every path of the reader.
inline int destinationRows(gr::SurfaceFormat stored, int width, int height, size_t inputBytes, io::FileFormat fileFormat)
{
	const int64_t claimed = stored.getMemoryUsage(width, height);
	const int64_t fillable = static_cast<int64_t>(inputBytes) * maxExpansion(fileFormat);
	int64_t rows = claimed <= fillable ? height : height * fillable / claimed + 1;
	rows = std::min(rows, MAX_FUZZ_SURFACE_PIXELS / std::max(width, 1));
	return static_cast<int>(std::min<int64_t>(rows, height));
}

// Opens the bytes as an image and reads every surface, once in the stored format, once converted
// to 32-bit colour and once to a 16-entry palette; the reader must refuse malformed input with an
// exception, never crash.
inline void readImage(const uint8_t* data, size_t size, io::FileFormat fileFormat)
{
	uint32_t palette[PALETTE_ENTRIES];
	for (int i = 0; i < PALETTE_ENTRIES; ++i)
		palette[i] = PALETTE_STEP * static_cast<uint32_t>(i);
	const gr::SurfaceFormat paletteFormat(gr::SurfaceFormat::A8R8G8B8);

	// UNKNOWN stands for the stored format.
	for (gr::SurfaceFormat::SurfaceFormatType target : {gr::SurfaceFormat::UNKNOWN, gr::SurfaceFormat::A8R8G8B8, gr::SurfaceFormat::P4})
	{
		try
		{
			io::ByteArrayInputStream stream(data, static_cast<int>(size));
			lang::Ptr<img::ImageReader> reader = new img::ImageReader(&stream, fileFormat);
			const gr::SurfaceFormat format = target == gr::SurfaceFormat::UNKNOWN ? reader->format() : gr::SurfaceFormat(target);
			const bool toPalette = target == gr::SurfaceFormat::P4;
			for (int level = 0; level < reader->mipLevels(); ++level)
			{
				const int width = reader->surfaceWidth();
				const int rows = destinationRows(reader->format(), width, reader->surfaceHeight(), size, fileFormat);
				std::vector<uint8_t> surface(static_cast<size_t>(format.getMemoryUsage(width, rows)));
				reader->readSurface(surface.data(), format.getMemoryUsage(width, 1), width, rows, format,
					toPalette ? palette : nullptr, toPalette ? paletteFormat : gr::SurfaceFormat());
			}
		}
		catch (const lang::Throwable&)
		{
		}
	}
}

} // fuzzing

#endif
