#ifndef GAME_COMPOSPRITESET_H
#define GAME_COMPOSPRITESET_H

#include <game/CompoSprite.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace game
{

class ChunkReader;
class SpriteProvider;

/** The named composite sprites of one file. Held through lang::Ptr; owns its composites. */
class CompoSpriteSet : public lang::Object
{
public:
	typedef lang::Hashtable<lang::String, lang::Ptr<CompoSprite>> CompoSpriteTable;

	/**
	 * Reads a composite sprite chunk file, finding each part's sprite through the provider (used
	 * only during construction). A file without the chunk header throws io::IOException
	 * "Malformed CHNK file: {0}"; an unknown sprite throws lang::Exception
	 * "Sprite \"{0}\" not loaded while loading {1}".
	 */
	CompoSpriteSet(const lang::String& fileName, SpriteProvider* provider);

	const CompoSpriteTable& getCompoSprites() const		{ return m_compoSprites; }

	/** The composite of that name, or null. */
	CompoSprite* getCompoSprite(const lang::String& name) const;

	/** Stores the composite under the name, replacing one stored there. */
	void add(const lang::String& name, CompoSprite* compoSprite);

private:
	CompoSpriteTable m_compoSprites;

	/** One payload: composite count, then each composite's name and parts. */
	void readBody(ChunkReader& reader, SpriteProvider* provider);
};

} // game

#endif
