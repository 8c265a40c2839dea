#include <img/ImageReader.h>

#include <io/InputStream.h>

#include <png.h>

#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstring>

namespace img {

namespace {

const int SIGNATURE_BYTES = 8;
// Deflate expands at most this many times, so a claimed image larger than its remaining bytes
// allow is corrupt and is refused before its buffer is made.
const int64_t MAX_DEFLATE_RATIO = 1032;
// Slack over the ratio for the zlib and chunk framing of a tiny file, in bytes.
const int64_t DEFLATE_SLACK = 4096;
// Largest decoded surface accepted, in bytes.
const int64_t MAX_SURFACE_BYTES = int64_t(1) << 30;
const int MESSAGE_BYTES = 160;
// Ancillary chunks (texts, unknown chunks) libpng may keep. The reader has it skip them all; the
// bound stands should one be kept all the same.
const png_uint_32 MAX_CACHED_CHUNKS = 32;

// What the libpng callbacks share with the reader: the stream and the last error message.
struct PngContext
{
	io::InputStream* in;
	char message[MESSAGE_BYTES];
};

// The image after the reader's transformations, and the raw row size before them.
struct PngHeader
{
	png_uint_32 width;
	png_uint_32 height;
	int bitDepth;
	int colorType;
	int64_t rawBytes;
	size_t rowBytes;
	png_colorp palette;
	int paletteEntries;
	png_bytep transparency;
	int transparentEntries;
};

// libpng requires an error handler that does not return: it keeps the message and jumps back to
// the setjmp of the call in progress.
void errorhandler(png_structp png, png_const_charp message)
{
	PngContext* context = static_cast<PngContext*>(png_get_error_ptr(png));
	std::strncpy(context->message, message, MESSAGE_BYTES - 1);
	context->message[MESSAGE_BYTES - 1] = 0;
	png_longjmp(png, 1);
}

void warninghandler(png_structp, png_const_charp)
{
}

// Stream exceptions must not unwind through libpng: a failed or short read becomes a libpng error.
void readfunc(png_structp png, png_bytep data, size_t length)
{
	io::InputStream* in = static_cast<PngContext*>(png_get_io_ptr(png))->in;
	bool complete = true;
	try
	{
		while (length > 0 && complete)
		{
			const int chunk = length > INT_MAX ? INT_MAX : static_cast<int>(length);
			const int got = in->read(data, chunk);
			complete = got > 0;
			if (complete)
			{
				data += got;
				length -= static_cast<size_t>(got);
			}
		}
	}
	catch (...)
	{
		complete = false;
	}
	if (!complete)
		png_error(png, "unexpected end of file");
}

// Owns libpng's read structures for one decode. The two steps that call into libpng set their
// own jump target and hold no objects with destructors, so a libpng error returns false from them.
class PngDecoder
{
public:
	explicit PngDecoder(io::InputStream* in) : m_png(nullptr), m_info(nullptr)
	{
		m_context.in = in;
		std::strcpy(m_context.message, "unknown error");
	}

	~PngDecoder()
	{
		if (m_png)
			png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
	}

	PngDecoder(const PngDecoder&) = delete;
	PngDecoder& operator=(const PngDecoder&) = delete;

	bool createReadStruct()
	{
		m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_context, errorhandler, warninghandler);
		return m_png != nullptr;
	}

	bool createInfoStruct()
	{
		m_info = png_create_info_struct(m_png);
		return m_info != nullptr;
	}

	// streamBytes: what the stream holds after the signature, which no chunk can exceed.
	bool readHeader(PngHeader* header, int streamBytes)
	{
		if (setjmp(png_jmpbuf(m_png)))
			return false;
		png_set_read_fn(m_png, &m_context, readfunc);
		png_set_error_fn(m_png, &m_context, errorhandler, warninghandler);
		png_set_sig_bytes(m_png, SIGNATURE_BYTES);
		// libpng takes a chunk's memory before it reads the chunk, so a length from the file is
		// refused when the stream cannot hold it (0 would mean no limit). The chunks the reader
		// has no use for (texts, colour profiles, unknown chunks) are skipped without being kept;
		// IHDR, PLTE, tRNS, IDAT and IEND are read as always.
		png_set_user_limits(m_png, ImageReader::MAX_DIMENSION, ImageReader::MAX_DIMENSION);
		png_set_chunk_malloc_max(m_png, static_cast<png_alloc_size_t>(streamBytes > 0 ? streamBytes : 1));
		png_set_chunk_cache_max(m_png, MAX_CACHED_CHUNKS);
		png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
		png_read_info(m_png, m_info);

		int interlace;
		png_get_IHDR(m_png, m_info, &header->width, &header->height, &header->bitDepth, &header->colorType,
			&interlace, nullptr, nullptr);
		header->rawBytes = static_cast<int64_t>(header->height) * (static_cast<int64_t>(png_get_rowbytes(m_png, m_info)) + 1);
		const bool hasTransparency = png_get_valid(m_png, m_info, PNG_INFO_tRNS) != 0;
		if (header->bitDepth < 8)
			png_set_expand(m_png);
		if (header->bitDepth > 8)
		{
			png_set_scale_16(m_png);
			if (hasTransparency)
				png_set_tRNS_to_alpha(m_png);
		}
		png_set_interlace_handling(m_png);
		png_read_update_info(m_png, m_info);

		png_get_IHDR(m_png, m_info, &header->width, &header->height, &header->bitDepth, &header->colorType,
			nullptr, nullptr, nullptr);
		header->rowBytes = png_get_rowbytes(m_png, m_info);
		header->paletteEntries = 0;
		header->transparentEntries = 0;
		if (header->colorType == PNG_COLOR_TYPE_PALETTE)
		{
			png_get_PLTE(m_png, m_info, &header->palette, &header->paletteEntries);
			if (hasTransparency)
				png_get_tRNS(m_png, m_info, &header->transparency, &header->transparentEntries, nullptr);
		}
		return true;
	}

	bool readImage(png_bytepp rows)
	{
		if (setjmp(png_jmpbuf(m_png)))
			return false;
		png_read_image(m_png, rows);
		return true;
	}

	const char* message() const { return m_context.message; }

private:
	png_structp m_png;
	png_infop m_info;
	PngContext m_context;
};

} // namespace

void ImageReader::readHeader_png()
{
	unsigned char signature[SIGNATURE_BYTES] = {0};
	m_in->read(signature, SIGNATURE_BYTES);
	if (png_sig_cmp(signature, 0, SIGNATURE_BYTES) != 0)
		fail("png_check_sig failed while loading \"{0}\". File is not png?");

	PngDecoder decoder(m_in);
	if (!decoder.createReadStruct())
		fail("png_create_read_struct failed while loading \"{0}\"");
	if (!decoder.createInfoStruct())
		fail("png_create_info_struct failed while loading \"{0}\"");

	PngHeader header;
	if (!decoder.readHeader(&header, m_in->available()))
		fail("Failed to decode \"{0}\": {1}", decoder.message());

	gr::SurfaceFormat format;
	switch (header.colorType)
	{
	case PNG_COLOR_TYPE_GRAY:
		format = gr::SurfaceFormat::L8;
		break;
	case PNG_COLOR_TYPE_RGB:
		format = gr::SurfaceFormat::B8G8R8;
		break;
	case PNG_COLOR_TYPE_PALETTE:
		format = gr::SurfaceFormat::P8;
		break;
	case PNG_COLOR_TYPE_GRAY_ALPHA:
		format = gr::SurfaceFormat::A8L8;
		break;
	case PNG_COLOR_TYPE_RGB_ALPHA:
		format = gr::SurfaceFormat::A8B8G8R8;
		break;
	default:
		fail("Unsupported PNG colour type {1} in \"{0}\"", header.colorType);
	}
	const int64_t surfaceBytes = static_cast<int64_t>(header.height) * static_cast<int64_t>(header.rowBytes);
	if (header.bitDepth != 8 || header.width > static_cast<png_uint_32>(MAX_DIMENSION) ||
		header.height > static_cast<png_uint_32>(MAX_DIMENSION) ||
		header.rowBytes != static_cast<size_t>(format.getMemoryUsage(static_cast<int>(header.width), 1)))
		fail("Unsupported PNG layout in \"{0}\"");
	if (surfaceBytes > MAX_SURFACE_BYTES || header.rawBytes > m_in->available() * MAX_DEFLATE_RATIO + DEFLATE_SLACK)
		fail("PNG \"{0}\" is too large or truncated ({1} x {2})", header.width, header.height);

	m_format = format;
	if (format == gr::SurfaceFormat::P8)
	{
		m_paletteFormat = gr::SurfaceFormat::A8R8G8B8;
		std::memset(m_palette, 0xFF, sizeof m_palette);
		for (int i = 0; i < header.paletteEntries && i < PALETTE_BYTES / 4; ++i)
		{
			m_palette[4 * i + 0] = header.palette[i].blue;
			m_palette[4 * i + 1] = header.palette[i].green;
			m_palette[4 * i + 2] = header.palette[i].red;
		}
		for (int i = 0; i < header.transparentEntries && i < PALETTE_BYTES / 4; ++i)
			m_palette[4 * i + 3] = header.transparency[i];
	}
	m_width = static_cast<int>(header.width);
	m_height = static_cast<int>(header.height);
	m_bitsPerPixel = format.bitsPerPixel();
	m_scanlineSize = static_cast<int>(header.rowBytes);
	m_mipLevels = 1;

	m_surfaces.resize(1);
	Surface& surface = m_surfaces[0];
	surface.width = m_width;
	surface.height = m_height;
	surface.data.resize(static_cast<int>(surfaceBytes));
	lang::Array<png_bytep> rows;
	rows.resize(m_height);
	for (int y = 0; y < m_height; ++y)
		rows[y] = surface.data.begin() + static_cast<int64_t>(y) * m_scanlineSize;
	if (!decoder.readImage(rows.begin()))
		fail("Failed to decode \"{0}\": {1}", decoder.message());
}

} // img
