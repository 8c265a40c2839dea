#ifndef TESTS_SUPPORT_PNGENCODER_H
#define TESTS_SUPPORT_PNGENCODER_H

#include <png.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace testsupport {

// What to encode: rows of packed samples exactly as PNG stores them (16-bit samples big-endian).
struct PngImage
{
	int width = 0;
	int height = 0;
	int bitDepth = 8;
	int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
	bool interlaced = false;
	std::vector<uint8_t> pixels;
	// Indexed images: RGB triples.
	std::vector<png_color> palette;
	// Indexed images: alpha per entry.
	std::vector<uint8_t> transparency;
	// Grey and truecolour images: the colour key.
	bool hasColorKey = false;
	png_color_16 colorKey{};
};

// Encodes a PNG file into memory with libpng's writer; throws std::runtime_error on failure.
inline std::vector<uint8_t> encodePng(const PngImage& image)
{
	const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
	const size_t rowBytes = (static_cast<size_t>(image.width) * channels[image.colorType] * image.bitDepth + 7) / 8;
	std::vector<png_bytep> rows(static_cast<size_t>(image.height));
	for (int y = 0; y < image.height; ++y)
		rows[static_cast<size_t>(y)] = const_cast<png_bytep>(image.pixels.data() + rowBytes * static_cast<size_t>(y));
	std::vector<uint8_t> file;
	// Everything with a destructor is made before the jump target.
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	png_infop info = png_create_info_struct(png);
	if (setjmp(png_jmpbuf(png)))
	{
		png_destroy_write_struct(&png, &info);
		throw std::runtime_error("png encoding failed");
	}
	png_set_write_fn(png, &file,
		[](png_structp p, png_bytep data, size_t length) {
			auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
			out->insert(out->end(), data, data + length);
		},
		nullptr);
	png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), image.bitDepth,
		image.colorType, image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
		PNG_FILTER_TYPE_DEFAULT);
	if (!image.palette.empty())
		png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
	if (!image.transparency.empty())
		png_set_tRNS(png, info, image.transparency.data(), static_cast<int>(image.transparency.size()), nullptr);
	if (image.hasColorKey)
		png_set_tRNS(png, info, nullptr, 0, &image.colorKey);
	png_write_info(png, info);
	png_write_image(png, rows.data());
	png_write_end(png, nullptr);
	png_destroy_write_struct(&png, &info);
	return file;
}

} // testsupport

#endif
