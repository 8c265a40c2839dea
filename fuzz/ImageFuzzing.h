#ifndef FUZZ_IMAGEFUZZING_H
#define FUZZ_IMAGEFUZZING_H

#include <img/ImageReader.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Ptr.h>
#include <lang/Throwable.h>

#include <cstdint>
#include <vector>

namespace fuzzing {

// Surfaces larger than this are not requested: the caller of a reader sizes the buffer.
const int MAX_FUZZ_SURFACE_BYTES = 16 << 20;

// Opens the bytes as an image and reads every surface, once in the stored format and once
// converted; the reader must refuse malformed input with an exception, never crash.
inline void readImage(const uint8_t* data, size_t size, io::FileFormat fileFormat)
{
	for (bool convert : {false, true})
	{
		try
		{
			io::ByteArrayInputStream stream(data, static_cast<int>(size));
			lang::Ptr<img::ImageReader> reader = new img::ImageReader(&stream, fileFormat);
			const gr::SurfaceFormat format = convert ? gr::SurfaceFormat(gr::SurfaceFormat::A8R8G8B8) : reader->format();
			for (int level = 0; level < reader->mipLevels(); ++level)
			{
				const int width = reader->surfaceWidth();
				const int height = reader->surfaceHeight();
				const int bytes = format.getMemoryUsage(width, height);
				if (bytes > MAX_FUZZ_SURFACE_BYTES)
					break;
				std::vector<uint8_t> surface(static_cast<size_t>(bytes));
				reader->readSurface(surface.data(), format.getMemoryUsage(width, 1), width, height, format, nullptr,
					gr::SurfaceFormat());
			}
		}
		catch (const lang::Throwable&)
		{
		}
	}
}

} // fuzzing

#endif
