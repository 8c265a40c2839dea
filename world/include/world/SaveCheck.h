#ifndef WORLD_SAVECHECK_H
#define WORLD_SAVECHECK_H

namespace lang { class String; }
namespace lua { class LuaTable; }

/**
 * What the player's saves may hold, checked as they are read: a save that deciphers can still
 * hold entries of the wrong kind (a damaged or hand-made file), which the scripts would meet as
 * errors on every frame, or entries that the game cannot save again, which would fail every
 * later save of the file. Such an entry is dropped and logged with the file and why, like a
 * damaged file; the rest of the save is kept. Stateless.
 */
class SaveCheck
{
public:
	/**
	 * Each entry is a level's name with a table of a "score" of zero or more that a 64-bit integer
	 * holds and "stars", a whole number from 0 to 3.
	 */
	static void checkHighscores(lua::LuaTable& highscores, const lang::String& file);
	/**
	 * "volume" is a number from 0 to 1 and "audioEnabled" true or false; other entries are the
	 * scripts' own. In both files every entry is one that the game's writer can save, within the
	 * size of a save.
	 */
	static void checkSettings(lua::LuaTable& settings, const lang::String& file);
};

#endif
