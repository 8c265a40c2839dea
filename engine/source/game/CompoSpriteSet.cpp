#include <game/ChunkReader.h>
#include <game/CompoSpriteSet.h>
#include <game/SpriteProvider.h>
#include <lang/Exception.h>

namespace game
{

CompoSpriteSet::CompoSpriteSet(const lang::String& fileName, SpriteProvider* provider)
{
	ChunkReader reader(fileName);
	if (!reader.readHeader(ChunkReader::LENGTH_UNSIGNED))
		reader.throwMalformed();
	while (reader.nextPayload(ChunkReader::TAG_COMP))
		readBody(reader, provider);
}

void CompoSpriteSet::readBody(ChunkReader& reader, SpriteProvider* provider)
{
	io::DataInputStream& in = reader.in();
	const int compoCount = in.readShort();
	for (int i = 0; i < compoCount; ++i)
	{
		lang::Ptr<CompoSprite> compo = new CompoSprite;
		const lang::String name = in.readUTF();
		const int partCount = in.readShort();
		for (int part = 0; part < partCount; ++part)
		{
			const lang::String spriteName = in.readUTF();
			Sprite* sprite = provider->getSprite(spriteName);
			if (!sprite)
				lang::throwError(lang::Exception(lang::Format("Sprite \"{0}\" not loaded while loading {1}", spriteName, reader.fileName())));
			const float x = in.readShort();
			const float y = in.readShort();
			compo->addSprite(compo->getSpriteCount(), spriteName, x, y, sprite);
		}
		add(name, compo);
	}
}

CompoSprite* CompoSpriteSet::getCompoSprite(const lang::String& name) const
{
	const lang::Ptr<CompoSprite>* compo = m_compoSprites.find(name);
	return compo ? compo->ptr() : nullptr;
}

void CompoSpriteSet::add(const lang::String& name, CompoSprite* compoSprite)
{
	m_compoSprites[name] = compoSprite;
}

} // game
