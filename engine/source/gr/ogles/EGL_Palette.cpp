#include <gr/ogles/EGL_Palette.h>
#include <algorithm>

namespace gr
{

static const int ENTRY_BYTES = 4;

EGL_Palette::EGL_Palette(int entries) :
	m_storage((size_t)std::max(entries, 0) * ENTRY_BYTES, 0),
	m_entries(std::max(entries, 0))
{
}

bool EGL_Palette::clip(int first, int count, int* begin, int* end) const
{
	const long long b = std::max<long long>(first, 0);
	const long long e = std::min<long long>((long long)first + count, m_entries);
	*begin = (int)b;
	*end = (int)std::max(e, b);
	return *begin < *end;
}

void EGL_Palette::setEntries(int first, const void* data, const SurfaceFormat& format, int count)
{
	int begin;
	int end;
	if (!clip(first, count, &begin, &end))
		return;
	const unsigned char* src = static_cast<const unsigned char*>(data) + (size_t)(begin - first) * (format.bitsPerPixel() / 8);
	SurfaceFormat(SurfaceFormat::A8R8G8B8).copyPixels(&m_storage[(size_t)begin * ENTRY_BYTES], SurfaceFormat(), nullptr,
		format, src, SurfaceFormat(), nullptr, end - begin);
}

void EGL_Palette::getEntries(int first, void* data, const SurfaceFormat& format, int count) const
{
	int begin;
	int end;
	if (!clip(first, count, &begin, &end))
		return;
	unsigned char* dst = static_cast<unsigned char*>(data) + (size_t)(begin - first) * (format.bitsPerPixel() / 8);
	format.copyPixels(dst, SurfaceFormat(), nullptr, SurfaceFormat(SurfaceFormat::A8R8G8B8), &m_storage[(size_t)begin * ENTRY_BYTES],
		SurfaceFormat(), nullptr, end - begin);
}

} // gr
