#include <world/GameLua.h>

#include <game/Resources.h>
#include <lang/Truncate.h>

namespace {

const game::Anchor AT_PIVOT(game::Anchor::VPIVOT, game::Anchor::HPIVOT);

} // namespace

void GameLua::startNewTrajectory()
{
	m_currentTrajectory = m_currentTrajectory == 0 ? PATHS_PER_SHOT : 0;
	for (int slot = m_currentTrajectory; slot < m_currentTrajectory + PATHS_PER_SHOT; ++slot)
	{
		m_trajectoryPoints[slot].clear();
		m_trajectoryPuffs[slot].clear();
	}
}

int GameLua::trajectorySlot(float path) const
{
	if (!(path >= 1.0f && path < static_cast<float>(PATHS_PER_SHOT + 1)))
		return -1;
	return m_currentTrajectory - 1 + lang::truncateTo<int>(path);
}

void GameLua::addToTrajectory(float path, float x, float y)
{
	const int slot = trajectorySlot(path);
	if (slot >= 0)
		m_trajectoryPoints[slot].add(math::float2(x, y));
}

void GameLua::addPuffToTrajectory(float path, float x, float y)
{
	const int slot = trajectorySlot(path);
	if (slot >= 0)
		m_trajectoryPuffs[slot].add(math::float2(x, y));
}

void GameLua::clearTrajectories()
{
	for (int slot = 0; slot < TRAJECTORY_SLOTS; ++slot)
	{
		m_trajectoryPoints[slot].clear();
		m_trajectoryPuffs[slot].clear();
	}
}

void GameLua::drawTrajectories()
{
	static const lang::String TRAIL_SPRITES[3] = {"TRAIL_WHITE_1", "TRAIL_WHITE_2", "TRAIL_WHITE_3"};
	static const lang::String PUFF_SPRITE("PROJECTILE_SPECIAL");
	for (int slot = 0; slot < TRAJECTORY_SLOTS; ++slot)
	{
		const lang::Array<math::float2>& points = m_trajectoryPoints[slot];
		for (int i = 0; i < points.size(); ++i)
			m_resources->drawSprite(TRAIL_SPRITES[i % 3], points[i].x, points[i].y, AT_PIVOT);
		for (const math::float2& puff : m_trajectoryPuffs[slot])
			m_resources->drawSprite(PUFF_SPRITE, puff.x, puff.y, AT_PIVOT);
	}
}
