#ifndef GAME_SPRITEPROVIDER_H
#define GAME_SPRITEPROVIDER_H

#include <lang/String.h>

namespace game
{

class Sprite;

/** Gives a loaded sprite by name. An interface only: nobody owns or deletes through it. */
class SpriteProvider
{
public:
	/** The sprite of that name, owned by its sheet, or null when none is loaded. */
	virtual Sprite* getSprite(const lang::String& name) = 0;

protected:
	~SpriteProvider() = default;
};

} // game

#endif
