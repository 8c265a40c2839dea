#ifndef TESTS_IMG_IMAGETESTSUPPORT_H
#define TESTS_IMG_IMAGETESTSUPPORT_H

#include <img/ImageReader.h>
#include <io/ByteArrayInputStream.h>
#include <io/IOException.h>
#include <lang/Ptr.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace imgtest {

// Little-endian file image built field by field.
struct Bytes
{
	std::vector<uint8_t> v;

	Bytes& u8(unsigned x) { v.push_back(static_cast<uint8_t>(x)); return *this; }
	Bytes& u16(unsigned x) { return u8(x).u8(x >> 8); }
	Bytes& u32(uint32_t x) { return u16(x).u16(x >> 16); }
	Bytes& raw(std::initializer_list<unsigned> bytes) { for (unsigned b : bytes) u8(b); return *this; }
	Bytes& fill(size_t n, unsigned value) { v.insert(v.end(), n, static_cast<uint8_t>(value)); return *this; }
	Bytes& append(const std::vector<uint8_t>& bytes) { v.insert(v.end(), bytes.begin(), bytes.end()); return *this; }
};

// A reader over its own memory copy of a file.
struct Image
{
	io::ByteArrayInputStream stream;
	lang::Ptr<img::ImageReader> reader;

	Image(const std::vector<uint8_t>& file, io::FileFormat format) :
		stream(file.data(), static_cast<int>(file.size())),
		reader(new img::ImageReader(&stream, format))
	{
	}

	// The next surface in dstFormat, rows packed.
	std::vector<uint8_t> read(gr::SurfaceFormat dstFormat, const void* palette = nullptr,
		gr::SurfaceFormat paletteFormat = gr::SurfaceFormat())
	{
		const int w = reader->surfaceWidth();
		const int h = reader->surfaceHeight();
		std::vector<uint8_t> out(static_cast<size_t>(dstFormat.getMemoryUsage(w, h)), 0);
		reader->readSurface(out.data(), dstFormat.getMemoryUsage(w, 1), w, h, dstFormat, palette, paletteFormat);
		return out;
	}

	// The next surface as A8R8G8B8 pixel values.
	std::vector<uint32_t> pixels()
	{
		std::vector<uint8_t> bytes = read(gr::SurfaceFormat::A8R8G8B8);
		std::vector<uint32_t> out(bytes.size() / 4);
		for (size_t i = 0; i < out.size(); ++i)
			out[i] = bytes[4 * i] | (bytes[4 * i + 1] << 8) | (bytes[4 * i + 2] << 16) | (uint32_t(bytes[4 * i + 3]) << 24);
		return out;
	}
};

// The message of the io::IOException that opening the file throws, or "" when none is thrown.
inline std::string openError(const std::vector<uint8_t>& file, io::FileFormat format)
{
	try
	{
		Image image(file, format);
	}
	catch (const io::IOException& e)
	{
		return e.getMessage().format().c_str();
	}
	return "";
}

} // imgtest

#endif
