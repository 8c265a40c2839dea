#include <world/GameLua.h>

#include <lua/LuaState.h>
#include <world/QueryCallback.h>
#include <world/RayCastCallback.h>
#include <world/RenderObjectData.h>
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
	int count = 0;
	for (b2Body* body : bodies)
	{
		b2Fixture* fixture = body->GetFixtureList();
		const FixtureUserData* data = fixture ? reinterpret_cast<const FixtureUserData*>(fixture->GetUserData().pointer) : nullptr;
		if (!data || !data->record)
		{
			names.setString(++count, getBodyName(body));
			continue;
		}
		// The body of an object removed during a step stays in the physics world until the step
		// is over; for the scripts the object is gone.
		if (findRecord(data->record->name) == data->record)
			names.setString(++count, data->record->name);
	}
	lua::LuaState::pushTable(lua->interpreter(), &names);
}
