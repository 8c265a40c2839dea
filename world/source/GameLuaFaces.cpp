#include <world/GameLua.h>

#include <game/Resources.h>
#include <game/SpriteSheet.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <world/RenderObjectData.h>
#include <world/TargetFace.h>
#include <cstring>
#include <functional>

namespace {

int moodNumber(const char* name)
{
	static const char* const MOODS[] = {"nervous", "scared", "relieved", "sleepy", "sleeping"};
	for (int i = 0; i < 5; ++i)
		if (!std::strcmp(name, MOODS[i]))
			return TARGET_FACE_NERVOUS + i;
	return TARGET_FACE_NORMAL;
}

// The face part a part name fills, or -1 for a name that is no part.
int partIndex(const char* name)
{
	static const char* const PARTS[GameLua::TargetFace::PART_COUNT] = {"leftEye", "rightEye", "leftPupil", "rightPupil", "nose"};
	for (int i = 0; i < GameLua::TargetFace::PART_COUNT; ++i)
		if (!std::strcmp(name, PARTS[i]))
			return i;
	return -1;
}

lang::String stringOr(const lua::LuaTable& table, const char* key)
{
	return table.isString(key) ? table.getString(key) : lang::String();
}

float numberOr(const lua::LuaTable& table, const char* key)
{
	return table.isNumber(key) ? table.getNumber(key) : 0.0f;
}

// Calls visit with every entry of the table whose key is a string and whose value is a table.
void forEachTable(lua::LuaState* lua, const lua::LuaTable& table, const std::function<void(const char*, const lua::LuaTable&)>& visit)
{
	lua::LuaStackRestore restore(lua);
	lua::LuaState::pushTable(lua->interpreter(), &table);
	const int index = lua->top();
	lua->pushNil();
	while (lua->next(index))
	{
		if (lua->type(-2) == lua::LuaState::STRING && lua->isTable(-1))
			visit(lua->toString(-2), lua->toTable(-1));
		lua->pop(1);
	}
}

game::Sprite* findSprite(game::Resources* resources, const lang::String& name)
{
	game::SpriteSheet* sheet = resources->findSpriteSheet(name);
	return sheet ? sheet->getSprite(name) : nullptr;
}

} // namespace

int GameLua::setComboSprites(lua::LuaState* lua)
{
	const lua::LuaTable description = lua->toTable(1);
	const lang::String objectName = stringOr(description, "objName");
	RenderObjectData* object = objectName.isEmpty() ? nullptr : m_objects.get(objectName);
	if (!object || !description.isTable("states"))
		return 0;

	forEachTable(lua, description.getTable("states"), [&](const char* mood, const lua::LuaTable& parts) {
		TargetFace face;
		forEachTable(lua, parts, [&](const char* partName, const lua::LuaTable& part) {
			const int index = partIndex(partName);
			game::Sprite* sprite = findSprite(m_resources, stringOr(part, "sprite"));
			// A part without a sprite that is loaded has nothing to show.
			if (index < 0 || !sprite)
				return;
			TargetFacePart& filled = face.parts[index];
			filled = TargetFacePart();
			filled.sprite = sprite;
			filled.maxOffsetX = numberOr(part, "maxOffsetX");
			filled.maxOffsetY = numberOr(part, "maxOffsetY");
			if ((index == TargetFace::LEFT_EYE || index == TargetFace::RIGHT_EYE) && part.isString("blink"))
				filled.blinkSprite = findSprite(m_resources, part.getString("blink"));
			filled.present = true;
		});
		object->faces.put(moodNumber(mood), face);
	});
	return 0;
}
