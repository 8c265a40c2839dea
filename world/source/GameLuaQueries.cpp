#include <world/GameLua.h>

#include <lua/LuaState.h>
#include <world/QueryCallback.h>
#include <world/RayCastCallback.h>
#include <cmath>

int GameLua::getRayCastedObjects(lua::LuaState* lua)
{
	lua->checkType(-1, lua::LuaState::TABLE);
	const lua::LuaTable ray = lua->toTable(-1);
	const b2Vec2 from(ray.getNumber("x1"), ray.getNumber("y1"));
	const b2Vec2 to(ray.getNumber("x2"), ray.getNumber("y2"));
	lang::Array<b2Body*> bodies;
	// Box2D asserts on a ray of zero length or of no finite end; such a ray crosses nothing.
	if (from.IsValid() && to.IsValid() && (to - from).LengthSquared() > 0.0f)
	{
		RayCastCallback callback(bodies);
		m_world->RayCast(&callback, from, to);
	}
	pushBodyNames(lua, bodies);
	return 1;
}

int GameLua::getIntersectingObjects(lua::LuaState* lua)
{
	lua->checkType(-1, lua::LuaState::TABLE);
	const lua::LuaTable area = lua->toTable(-1);
	const b2Vec2 point(area.getNumber("x"), area.getNumber("y"));
	b2AABB box;
	box.lowerBound = point + b2Vec2(area.getNumber("left"), area.getNumber("down"));
	box.upperBound = point + b2Vec2(area.getNumber("right"), area.getNumber("up"));
	lang::Array<b2Body*> bodies;
	// A box with a side of no number would overlap everything.
	const bool numbers = !std::isnan(box.lowerBound.x) && !std::isnan(box.lowerBound.y) && !std::isnan(box.upperBound.x) && !std::isnan(box.upperBound.y);
	QueryCallback callback(point, bodies);
	if (numbers)
		m_world->QueryAABB(&callback, box);
	pushBodyNames(lua, bodies);
	return 1;
}

void GameLua::pushBodyNames(lua::LuaState* lua, const lang::Array<b2Body*>& bodies)
{
	lua::LuaTable names(lua);
	for (int i = 0; i < bodies.size(); ++i)
		names.setString(i + 1, getBodyName(bodies[i]));
	lua::LuaState::pushTable(lua->interpreter(), &names);
}
