#ifndef WORLD_PARTICLES_H
#define WORLD_PARTICLES_H

class GameLua;
namespace game { class Resources; }
namespace lua { class LuaState; }

/** The game's sprite particles, in game and in the menu; owned by the game world. */
class Particles
{
public:
	Particles(lua::LuaState* lua, GameLua* world, game::Resources* resources);
	~Particles();

	/** Removes every live particle, in game and in the menu. */
	void clearAll();

private:
	GameLua* m_world;
	game::Resources* m_resources;
};

#endif
