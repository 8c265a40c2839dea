#include <hgr/DefaultResourceManager.h>
#include <hgr/Globals.h>
#include <hgr/ParticleSystem.h>
#include <gr/Context.h>
#include <gr/CubeTexture.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <io/PathName.h>

namespace hgr
{

namespace
{

/** Length of the ".ext" ending that a texture-system suffix replaces. */
const int EXTENSION_LENGTH = 4;

Globals& globals()
{
	if (!Globals::get())
		Globals::init();
	return *Globals::get();
}

} // namespace

DefaultResourceManager::DefaultResourceManager(gr::Context* context) :
	m_context(context)
{
}

// Cached textures go first; the remaining members then go in reverse order, so every cached
// resource is released before the device that made it.
DefaultResourceManager::~DefaultResourceManager()
{
	m_textures.clear();
}

gr::Shader* DefaultResourceManager::getShader(const lang::String& name, int flags)
{
	return m_context->createShader(name, flags);
}

gr::Texture* DefaultResourceManager::getTexture(const lang::String& name)
{
	TextureResource& resource = m_textures[name];
	if (!resource.texture)
	{
		const lang::String fileName = getTextureSystemFilename(name);
		resource.texture = m_context->createTexture(fileName);
		resource.fileName = fileName;
	}
	return resource.texture;
}

gr::CubeTexture* DefaultResourceManager::getCubeTexture(const lang::String& name)
{
	lang::Ptr<gr::CubeTexture>& texture = m_cubeTextures[name];
	if (!texture)
		texture = m_context->createCubeTexture(name);
	return texture;
}

ParticleSystem* DefaultResourceManager::getParticleSystem(const lang::String& name, const lang::String& texturePath, const lang::String& shaderPath)
{
	const lang::String key(io::PathName(name).basename());
	if (const lang::Ptr<ParticleSystem>* held = m_particleSystems.find(key))
		return new ParticleSystem(**held);
	// The loader may come back here and grow the table, so the slot is looked up only afterwards.
	lang::Ptr<ParticleSystem> loaded = new ParticleSystem(m_context, name, this, texturePath, shaderPath);
	m_particleSystems[key] = loaded;
	return loaded;
}

lang::String DefaultResourceManager::getTextureSystemFilename(const lang::String& name) const
{
	if (m_textureSystemSuffix.isEmpty() || name.length() <= EXTENSION_LENGTH)
		return name;
	return name.substring(0, name.length() - EXTENSION_LENGTH) + m_textureSystemSuffix;
}

ResourceManager* DefaultResourceManager::get(gr::Context* context)
{
	Globals& holder = globals();
	if (!holder.resourceManager)
		holder.resourceManager = new DefaultResourceManager(context);
	return holder.resourceManager;
}

void DefaultResourceManager::set(ResourceManager* manager)
{
	globals().resourceManager = manager;
}

} // hgr
