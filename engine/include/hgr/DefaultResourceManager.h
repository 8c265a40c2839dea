#ifndef HGR_DEFAULTRESOURCEMANAGER_H
#define HGR_DEFAULTRESOURCEMANAGER_H

#include <hgr/ResourceManager.h>
#include <lang/Hash.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>

namespace gr
{
class Context;
}

namespace hgr
{

/**
 * Name-keyed caches in front of one rendering device. Holds a counted reference to the device and
 * to every cached texture, cube texture and particle-system template until it is destroyed.
 */
class DefaultResourceManager : public ResourceManager
{
public:
	/** One texture cache entry; the texture is null until it was created successfully. */
	struct TextureResource
	{
		lang::Ptr<gr::Texture> texture;
		/** The file the texture was read from (the requested name after suffix rewriting). */
		lang::String fileName;
	};

	explicit DefaultResourceManager(gr::Context* context);
	~DefaultResourceManager() override;

	gr::Shader* getShader(const lang::String& name, int flags) override;
	gr::Texture* getTexture(const lang::String& name) override;
	gr::CubeTexture* getCubeTexture(const lang::String& name) override;
	/**
	 * The first request for a base name loads and caches the template and returns it; later
	 * requests for the same base name, whatever the directory or extension, get a new copy of it.
	 */
	ParticleSystem* getParticleSystem(const lang::String& name, const lang::String& texturePath, const lang::String& shaderPath) override;

	/**
	 * The file a texture name is read from: with a texture-system suffix set and a name longer than
	 * 4 characters, the name's last 4 characters (".ext") replaced by the suffix; else the name.
	 */
	lang::String getTextureSystemFilename(const lang::String& name) const;

	/** Replacement ending of texture file names (for example "_etc.ntx"); empty by default. */
	void setTextureSystemSuffix(const lang::String& suffix)	{ m_textureSystemSuffix = suffix; }
	const lang::String& textureSystemSuffix() const			{ return m_textureSystemSuffix; }

	/** The installed manager, creating and installing one for the device when none is installed. */
	static ResourceManager* get(gr::Context* context);
	/** Installs the manager (counted; null uninstalls), releasing the previous one. */
	static void set(ResourceManager* manager);

private:
	lang::String m_textureSystemSuffix;
	lang::Ptr<gr::Context> m_context;
	lang::Hashtable<lang::String, TextureResource, lang::Hash<lang::String> > m_textures;
	lang::Hashtable<lang::String, lang::Ptr<gr::CubeTexture>, lang::Hash<lang::String> > m_cubeTextures;
	lang::Hashtable<lang::String, lang::Ptr<ParticleSystem>, lang::Hash<lang::String> > m_particleSystems;

	DefaultResourceManager(const DefaultResourceManager&) = delete;
	DefaultResourceManager& operator=(const DefaultResourceManager&) = delete;
};

} // hgr

#endif
