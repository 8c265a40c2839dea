#ifndef GR_SHADOWINGSURFACEDATA_H
#define GR_SHADOWINGSURFACEDATA_H

#include <gr/SurfaceFormat.h>
#include <lang/Object.h>
#include <vector>

namespace gr
{

/** One recorded texture upload, kept so the texture can be rebuilt after a GL context loss. Owns a copy of the pixels; held by its texture. */
class ShadowingSurfaceData : public lang::Object
{
public:
	int x;
	int y;
	std::vector<unsigned char> pixels;
	/** Bytes per source row. */
	int pitch;
	int mipLevel;
	int width;
	int height;
	SurfaceFormat format;
	SurfaceFormat paletteFormat;
};

} // gr

#endif
