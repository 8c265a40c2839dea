#include "PngWriter.h"
#include <cstdio>
#include <png.h>

namespace platform {

bool PngWriter::write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
	if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4)
		return false;
	FILE* file = std::fopen(path.c_str(), "wb");
	if (!file)
		return false;
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	png_infop info = png ? png_create_info_struct(png) : nullptr;
	bool written = false;
	if (info && setjmp(png_jmpbuf(png)) == 0)
	{
		png_init_io(png, file);
		png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
			PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
		png_write_info(png, info);
		for (int y = 0; y < height; ++y)
			png_write_row(png, const_cast<png_bytep>(&rgba[static_cast<size_t>(y) * width * 4]));
		png_write_end(png, info);
		written = true;
	}
	png_destroy_write_struct(&png, info ? &info : nullptr);
	return std::fclose(file) == 0 && written;
}

} // platform
