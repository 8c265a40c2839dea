#include <world/GameLua.h>

bool GameLua::ShouldCollide(b2Fixture*, b2Fixture*)
{
	return true;
}

void GameLua::BeginContact(b2Contact*)
{
}

void GameLua::EndContact(b2Contact*)
{
}

void GameLua::PreSolve(b2Contact*, const b2Manifold*)
{
}

void GameLua::PostSolve(b2Contact*, const b2ContactImpulse*)
{
}
