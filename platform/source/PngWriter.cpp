#include "PngWriter.h"
#include <platform/Directories.h>
#include <platform/FileSaver.h>
#include <cerrno>
#include <cstring>
#include <png.h>

namespace platform {

namespace {

void appendEncoded(png_structp png, png_bytep data, png_size_t size)
{
	static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

// The bytes are kept in memory until the whole picture is encoded.
void flushNothing(png_structp)
{
}

} // namespace

bool PngWriter::write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
	std::string* failure)
{
	std::string reason;
	if (!failure)
		failure = &reason;
	if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4)
	{
		*failure = "no picture to write";
		return false;
	}
	const size_t slash = path.find_last_of('/');
	if (slash != std::string::npos && slash > 0 && !Directories::create(path.substr(0, slash)))
	{
		*failure = "can't make the folder " + path.substr(0, slash) + ": " + std::strerror(errno);
		return false;
	}
	std::string encoded;
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	png_infop info = png ? png_create_info_struct(png) : nullptr;
	if (!info || setjmp(png_jmpbuf(png)) != 0)
	{
		png_destroy_write_struct(&png, info ? &info : nullptr);
		*failure = "the picture could not be encoded";
		return false;
	}
	png_set_write_fn(png, &encoded, appendEncoded, flushNothing);
	png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
		PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int y = 0; y < height; ++y)
		png_write_row(png, const_cast<png_bytep>(&rgba[static_cast<size_t>(y) * width * 4]));
	png_write_end(png, info);
	png_destroy_write_struct(&png, &info);
	return FileSaver::save(path, encoded, failure);
}

} // platform
