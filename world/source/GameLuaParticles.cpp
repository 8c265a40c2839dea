#include <world/GameLua.h>

#include <world/Particles.h>

void GameLua::drawParticles()
{
	if (m_inGameParticlesEnabled)
		m_particles->draw(m_context, true);
}

void GameLua::drawMenuParticles()
{
	m_particles->draw(m_context, false);
}

void GameLua::updateMenuParticles(float dt)
{
	m_particles->update(dt, false, m_context);
}

void GameLua::setMenuParticlesScale(float scale)
{
	m_particles->setMenuScale(scale);
}

void GameLua::clearParticles()
{
	m_particles->clearAll();
}

void GameLua::enableInGameParticles(bool enabled)
{
	m_inGameParticlesEnabled = enabled;
}
