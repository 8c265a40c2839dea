#ifndef HGR_RESOURCEMANAGER_H
#define HGR_RESOURCEMANAGER_H

#include <lang/Object.h>
#include <lang/String.h>

namespace gr
{
class CubeTexture;
class Shader;
class Texture;
}

namespace hgr
{

class ParticleSystem;

/**
 * Shares the scene layer's heavy resources (textures, cube textures, shaders, particle-system
 * templates) by name. Reference counted; the process-wide one is installed in hgr::Globals.
 * Returned pointers are not counted for the caller: take a lang::Ptr to keep one.
 */
class ResourceManager : public lang::Object
{
public:
	/** A new shader of the named template every call; nothing is cached. */
	virtual gr::Shader* getShader(const lang::String& name, int flags) = 0;
	/** The texture read from the named file, created once per name. */
	virtual gr::Texture* getTexture(const lang::String& name) = 0;
	virtual gr::CubeTexture* getCubeTexture(const lang::String& name) = 0;
	/**
	 * The particle system described by the named property file; its texture and shader are
	 * looked up in the given directories (the file's own directory when empty).
	 */
	virtual ParticleSystem* getParticleSystem(const lang::String& name, const lang::String& texturePath, const lang::String& shaderPath) = 0;
};

} // hgr

#endif
