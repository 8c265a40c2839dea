#include <world/Particles.h>

Particles::Particles(lua::LuaState*, GameLua* world, game::Resources* resources) :
	m_world(world),
	m_resources(resources)
{
}

Particles::~Particles()
{
}

void Particles::clearAll()
{
}
