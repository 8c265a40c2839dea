#ifndef GR_EGL_SHADER_H
#define GR_EGL_SHADER_H

#include <gr/Shader.h>

namespace gr
{

/**
 * Base of the OpenGL ES device's shaders: a shader that points to its device without owning it.
 * Templates are held by the device, clones by their users through lang::Ptr.
 */
class EGL_Shader : public Shader
{
public:
	/** Forgets the device (it is being destroyed); a detached shader no longer touches its state or GL. */
	virtual void detach() = 0;
};

} // gr

#endif
