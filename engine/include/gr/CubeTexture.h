#ifndef GR_CUBETEXTURE_H
#define GR_CUBETEXTURE_H

#include <gr/BaseTexture.h>

namespace gr
{

/** A six-faced texture; the OpenGL ES device creates none (it refuses the request). Reference counted. */
class CubeTexture : public BaseTexture
{
public:
	CubeTexture() : BaseTexture(CLASSID_TEXTURE) {}
};

} // gr

#endif
