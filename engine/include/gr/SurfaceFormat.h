#ifndef GR_SURFACEFORMAT_H
#define GR_SURFACEFORMAT_H

namespace gr {

// Pixel format of a surface: a plain value with no ownership, copied freely. Answers the
// format's layout and converts pixels from any format into this one.
class SurfaceFormat
{
public:
	// Numbered without gaps; file formats store these numbers, so they never change.
	enum SurfaceFormatType
	{
		UNKNOWN,
		R8G8B8,
		B8G8R8,
		A8R8G8B8,
		X8R8G8B8,
		X8B8G8R8,
		A8B8G8R8,
		R5G6B5,
		R5G5B5,
		R6G6B6,
		P4,
		P8,
		L8,
		A8L8,
		A1R5G5B5,
		X4R4G4B4,
		A4R4G4B4,
		A4B4G4R4,
		R4G4B4A4,
		A1B5G5R5,
		R5G5B5A1,
		R3G3B2,
		R3G2B3,
		A8,
		A8R3G3B2,
		A8R3G2B3,
		DXT1,
		DXT3,
		DXT5,
		RGB_PVRTC_GL_2BPP,
		RGBA_PVRTC_GL_2BPP,
		RGB_PVRTC_GL_4BPP,
		RGBA_PVRTC_GL_4BPP,
		ETC1_RGB_4BPP,
		R16F,
		G16R16F,
		A16B16G16R16F,
		R32F,
		G32R32F,
		A32B32G32R32F,
		D32,
		D24,
		D16,
		D24S8,
		SURFACEFORMAT_COUNT
	};

	SurfaceFormat() : m_type(UNKNOWN) {}
	SurfaceFormat(SurfaceFormatType type) : m_type(type) {}

	SurfaceFormatType type() const { return m_type; }
	bool operator==(const SurfaceFormat& other) const { return m_type == other.m_type; }
	bool operator!=(const SurfaceFormat& other) const { return m_type != other.m_type; }

	// Bits one pixel occupies; 0 for UNKNOWN and the DXT formats (see getMemoryUsage).
	int bitsPerPixel() const;
	// True when the format has an alpha mask, or is DXT or an RGBA PVRTC format.
	bool hasAlpha() const;
	// Block-compressed (DXT, PVRTC, ETC1): only whole surfaces are meaningful.
	bool isCompressed() const;
	bool isPVRTC() const;
	// Channels are 16- or 32-bit IEEE floats.
	bool isFloat() const;
	// P4 or P8: pixels are indices into a palette of 16 or 256 entries.
	bool isPalette() const;
	// The format's name; a static string.
	const char* toString() const;

	// Bytes a width x height surface takes: rows of sub-byte pixels end on a whole byte, block formats
	// are rounded up to whole 4 x 4 blocks and to their minimum surface sizes. Saturates at INT_MAX.
	int getMemoryUsage(int width, int height) const;

	// Converts a run of pixels of srcFormat at src into this format at dst. The palettes matter only
	// for P4 and P8 (a source palette holds 16 or 256 entries of srcPaletteFormat; a destination
	// pixel becomes the index of the nearest entry of dstPalette). Writes nothing when either format
	// is block-compressed, unless both are equal, in which case the run's bytes (rounded up to a whole
	// byte) are copied unchanged.
	void copyPixels(void* dst, const SurfaceFormat& dstPaletteFormat, const void* dstPalette,
		const SurfaceFormat& srcFormat, const void* src, const SurfaceFormat& srcPaletteFormat,
		const void* srcPalette, int pixels) const;

	// Converts a rectangle of height rows of width pixels; pitches are the byte distances between
	// rows (for a DXT source, between rows of 4 x 4 blocks; unused for an ETC1 source, whose blocks
	// are packed). DXT and ETC1 sources are decoded; a PVRTC source writes nothing.
	void copyPixels(void* dst, int dstPitch, const SurfaceFormat& dstPaletteFormat, const void* dstPalette,
		const SurfaceFormat& srcFormat, const void* src, int srcPitch, const SurfaceFormat& srcPaletteFormat,
		const void* srcPalette, int width, int height) const;

private:
	SurfaceFormatType m_type;
};

} // gr

#endif
