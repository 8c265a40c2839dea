#ifndef IMG_IMAGEREADER_H
#define IMG_IMAGEREADER_H

#include <gr/SurfaceFormat.h>
#include <io/ByteArrayInputStream.h>
#include <io/FileFormat.h>
#include <io/IOException.h>
#include <lang/Array.h>
#include <lang/Huffman16.h>
#include <lang/Object.h>

#include <cstdint>

namespace io {
class InputStream;
}

namespace img {

// Reads an image file's header on construction and then hands out its surfaces (one per mip
// level) converted into the caller's format. Reference counted. It reads from a stream it does
// not own, which must stay alive while the reader reads; it owns its decoded surfaces.
// Malformed files throw io::IOException naming the stream (a PVR file of an unsupported pixel
// type throws lang::Exception).
class ImageReader : public lang::Object
{
public:
	// Decoded pixels of one surface (PNG and PVR), rows packed.
	struct Surface
	{
		lang::Array<unsigned char> data;
		int width = 0;
		int height = 0;
	};

	// Bytes of m_palette: 256 entries of at most 4 bytes.
	static constexpr int PALETTE_BYTES = 1024;
	// Largest width or height accepted, in pixels.
	static constexpr int MAX_DIMENSION = 65535;

	ImageReader(io::InputStream* in, io::FileFormat fileFormat);

	// Starts over on a new stream: clears the header fields and reads the header.
	void reset(io::InputStream* in, io::FileFormat fileFormat);

	// Size of the surface the next readSurface hands out.
	int surfaceWidth() const { return m_width; }
	int surfaceHeight() const { return m_height; }
	// Format of the stored pixels.
	gr::SurfaceFormat format() const { return m_format; }
	// Format of the palette entries; UNKNOWN when the pixels are not palette indices.
	gr::SurfaceFormat paletteFormat() const { return m_paletteFormat; }
	int mipLevels() const { return m_mipLevels; }

	// Writes the next surface into dst, rows pitch bytes apart, in dstFormat (through dstPalette
	// when dstFormat is P4 or P8). Called mipLevels() times with the surfaceWidth() and
	// surfaceHeight() read just before. PVRTC surfaces are copied unchanged and only into their own
	// format; ETC1 surfaces are copied into ETC1 and decoded into any other format.
	void readSurface(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
		const void* dstPalette, gr::SurfaceFormat dstPaletteFormat);

	// Reads exactly n bytes or throws io::IOException.
	static void readFully(io::InputStream* in, void* data, int n);
	// Reads count colour-map entries of entrySize (1 to 4) bytes stored blue, green, red, alpha and
	// writes them as 4-byte red, green, blue, alpha entries; missing bytes are 0.
	static void readColorMap(io::InputStream* in, int entrySize, int count, unsigned char* out);
	static unsigned int getUInt16LE(const void* data, int offset);
	static unsigned int getUInt32LE(const void* data, int offset);

private:
	io::InputStream* m_in;
	int m_width;
	int m_height;
	int m_bitsPerPixel;
	int m_scanlineSize;
	int m_mipLevels;
	int m_surfaceIndex;
	unsigned char m_palette[PALETTE_BYTES];
	gr::SurfaceFormat m_format;
	gr::SurfaceFormat m_paletteFormat;
	io::FileFormat m_fileFormat;
	bool m_bottomUp;
	bool m_rle;
	lang::Array<Surface> m_surfaces;
	io::ByteArrayInputStream m_memoryStream;
	lang::Huffman16 m_huffman;

	// Throws before anything is written when a destination row would run past pitch.
	void checkPitch(int pitch, int width, int height, gr::SurfaceFormat dstFormat) const;
	void readScanlines(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
		const void* dstPalette, gr::SurfaceFormat dstPaletteFormat);
	void readSurfaceFromSurfaceBuffer(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
		const void* dstPalette, gr::SurfaceFormat dstPaletteFormat);
	// The NTX shortcuts: a whole surface read straight into dst, or palette indices expanded to
	// their entries. False when the request does not match the stored layout.
	bool readDirect(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
		gr::SurfaceFormat dstPaletteFormat);
	bool readExpandingPalette(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat);

	void readHeader_bmp();
	void readHeader_tga();
	void readHeader_png();
	void readHeader_ntx();
	void readHeader_pvr();
	void readScanline_tgaRLE(unsigned char* row);
	// Skips n bytes of m_in, or throws when n is negative or the stream ends first.
	void skipFully(int n);
	// Throws when m_in holds fewer than bytes, the least the header's pixel data takes, so that
	// no surface is ever sized by a header whose data the file cannot hold. format names the
	// file format in the message.
	void requirePixelData(const char* format, int64_t bytes) const;

	// Throws io::IOException with the stream's name as {0} and the given values as {1}, {2}...
	template <class... Args>
	[[noreturn]] void fail(const char* message, const Args&... args) const
	{
		lang::throwError(io::IOException(lang::Format(message, m_in->toString(), args...)));
	}
};

} // img

#endif
