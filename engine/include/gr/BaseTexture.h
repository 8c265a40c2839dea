#ifndef GR_BASETEXTURE_H
#define GR_BASETEXTURE_H

#include <gr/ContextObject.h>

namespace gr
{

/** Common base of textures, the type shader texture parameters take; reference counted like every device resource. */
class BaseTexture : public ContextObject
{
public:
	explicit BaseTexture(ClassId classId) : ContextObject(classId) {}
};

} // gr

#endif
