#include <world/GameLua.h>

#include <framework/App.h>
#include <io/ByteArrayInputStream.h>
#include <io/FileOutputStream.h>
#include <io/PathName.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <world/Particles.h>

namespace {

const char* const LEVEL_EXTENSION = ".lua";

// One definition file that a level load reads, in load order: the debug line before it, the
// file under the script path and how loadLuaFile stores it.
struct DefinitionFile
{
	const char* message;
	const char* file;
	const char* tableName;
	bool intoDefinitions;
	bool asBlocks;
};

const DefinitionFile DEFINITION_FILES[] = {
	{"Loading materials...\n", "/materials.lua", "materials", true, false},
	{"Loading damageFactors...\n", "/damagefactors.lua", "damageFactors", true, false},
	{"Loading targets...\n", "/targets.lua", "blockTable", true, true},
	{"Loading levelgoals...\n", "/levelgoals.lua", "blockTable", true, true},
	{"Loading scoreobjects...\n", "/scoreobjects.lua", "blockTable", true, true},
	{"Loading projectiles...\n", "/projectiles.lua", "blockTable", true, true},
	{"Loading hazard blocks...\n", "/blocks_hazard.lua", "blockTable", true, true},
	{"Loading wood blocks...\n", "/blocks_wood.lua", "blockTable", true, true},
	{"Loading steel blocks...\n", "/blocks_stone.lua", "blockTable", true, true},
	{"Loading glass blocks...\n", "/blocks_glass.lua", "blockTable", true, true},
	{"Loading misc blocks...\n", "/blocks_misc.lua", "blockTable", true, true},
	{"Loading static blocks...\n", "/blocks_static.lua", "blockTable", true, true},
	{"Loading static fragile blocks...\n", "/blocks_staticfragile.lua", "blockTable", true, true},
	{"Loading decoration blocks...\n", "/blocks_decorations.lua", "blockTable", true, true},
	{"Loading themes...\n", "/themes.lua", "themes", true, false},
	{"Loading groups...\n", "/groups.lua", "groups", true, false},
	{"Loading particles...\n", "/particles.lua", "particleTable", false, false},
};

// Keys of "objects" that a saved level copies when they hold a value of the type.
struct SavedKey
{
	const char* key;
	lua::LuaState::Type type;
};

const SavedKey SAVED_KEYS[] = {
	{"trainCarts", lua::LuaState::TABLE},
	{"theme", lua::LuaState::STRING},
	{"projectileCameraData", lua::LuaState::TABLE},
	{"castleCameraData", lua::LuaState::TABLE},
	{"physicsToWorld", lua::LuaState::NUMBER},
	{"joints", lua::LuaState::TABLE},
	{"counts", lua::LuaState::TABLE},
	{"doNotWaitForMovingObjects", lua::LuaState::BOOLEAN},
	{"themeSprites", lua::LuaState::TABLE},
};

// Sets a flag for the lifetime of a scope and clears it on every way out, a throw included.
class ScopedFlag
{
public:
	explicit ScopedFlag(bool& flag) : m_flag(flag)		{ m_flag = true; }
	~ScopedFlag()										{ m_flag = false; }
	ScopedFlag(const ScopedFlag&) = delete;
	ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
	bool& m_flag;
};

lang::String withExtension(const lang::String& name)
{
	lang::String file(name);
	file += LEVEL_EXTENSION;
	return file;
}

// The built-in definition of the ground, present in every load's "blocks".
lua::LuaTable groundDefinition(lua::LuaState* lua)
{
	lua::LuaTable ground(lua);
	ground.setString("type", "box");
	ground.setString("material", "immovable");
	ground.setString("sprite", "");
	ground.setString("texture", "");
	ground.setString("theme", "");
	return ground;
}

// Calls visit(key index, value index) for every pair of the table, with both on the stack.
template <class Visit>
void forEachPair(lua::LuaState* lua, const lua::LuaTable& table, Visit visit)
{
	lua::LuaStackRestore restore(lua);
	lua::LuaState::pushTable(lua->interpreter(), &table);
	const int tableIndex = lua->top();
	lua->pushNil();
	while (lua->next(tableIndex))
	{
		visit(lua->top() - 1, lua->top());
		lua->pop(1);
	}
}

// The key at index as text; converted on a copy, since converting the key itself in place
// would derail the table walk.
lang::String keyText(lua::LuaState* lua, int index)
{
	lua->push(index);
	const char* text = lua_tostring(lua->interpreter(), -1);
	const lang::String key(text ? text : "");
	lua->pop(1);
	return key;
}

} // namespace

void GameLua::loadLevel(const lang::String& name)
{
	// Contact ends that body destruction raises are ignored until the load is over, however it ends.
	ScopedFlag loading(m_loadingLevel);
	for (int& clip : m_rollingClips)
		clip = -1;
	// The step clock restarts with the level; a step under way counts its own time first.
	changePhysics([this] { m_accumulator = 0.0f; });
	loadDefinitionFiles();

	lang::Debug::printf("Removing physics objects...\n");
	clearWorld();
	m_particles->clearAll();
	clearTrajectories();
	if (m_deterministicPhysics)
		replacePhysicsWorld();

	lang::Debug::printf("Loading level from file...\n");
	try
	{
		loadLevelTable(name);
	}
	catch (const lang::Exception& e)
	{
		lang::Debug::printf("Unable to load level.\n");
		lang::Debug::printf("Level file %s: %s\n", withExtension(name).c_str(), e.getMessage().format().c_str());
	}
}

// A contact callback may load a level; the world it runs in cannot go before its step ends.
void GameLua::replacePhysicsWorld()
{
	changePhysics([this] {
		delete m_world;
		m_world = nullptr;
		createPhysicsWorld();
	});
}

void GameLua::loadDefinitionFiles()
{
	lua::LuaTable blocks(state());
	blocks.setTable("Ground", groundDefinition(state()));
	setTable("blockTable", m_blockTable);
	m_blockTable.setTable("blocks", blocks);

	const lang::String scriptPath = getString("scriptPath");
	for (const DefinitionFile& definition : DEFINITION_FILES)
	{
		lang::Debug::printf("%s", definition.message);
		lang::String file(scriptPath);
		file += definition.file;
		loadLuaFile(file, lang::String(definition.tableName), definition.intoDefinitions, definition.asBlocks);
	}
}

void GameLua::loadLevelTable(const lang::String& name)
{
	const io::PathName path(m_app->path(withExtension(name)));
	io::ByteArrayInputStream plain;
	readShippedFile(path.toString(), plain);
	lua::LuaTable level(state());
	level.read(&plain, path.toString());
	if (!level.isString("filename"))
		lang::throwError(lang::Exception(lang::Format("it names no filename")));
	if (!(level.getString("filename") == path.filename()))
		lang::throwError(lang::Exception(lang::Format("it names the file {0}", level.getString("filename"))));
	setTable("loadedObjects", level);
}

void GameLua::saveLevel(const lang::String& name)
{
	lua::LuaState* lua = state();
	lua::LuaTable level(lua);
	const lua::LuaTable objects = getTable("objects");
	for (const SavedKey& saved : SAVED_KEYS)
	{
		lua::LuaStackRestore restore(lua);
		objects.pushMember(saved.key);
		if (lua->type(-1) != saved.type)
			continue;
		lua::LuaState::pushTable(lua->interpreter(), &level);
		lua->pushString(saved.key);
		lua->push(-3);
		lua->setTable(-3);
	}

	lua::LuaTable world(lua);
	if (objects.isTable("world"))
	{
		forEachPair(lua, objects.getTable("world"), [&](int key, int value) {
			if (lua->type(value) != lua::LuaState::TABLE)
				return;
			const lang::String objectName = keyText(lua, key);
			const lua::LuaTable source = lua->toTable(value);
			lua::LuaTable entry(lua);
			entry.setNumber("angle", source.getNumber("angle"));
			entry.setNumber("x", source.getNumber("x"));
			entry.setNumber("y", source.getNumber("y"));
			entry.setString("name", source.getString("name"));
			entry.setString("definition", source.getString("definition"));
			if (source.isNumber("startNumber"))
				entry.setNumber("startNumber", source.getNumber("startNumber"));
			world.setTable(objectName, entry);
		});
	}
	level.setTable("world", world);

	io::FileOutputStream out(m_app->path(withExtension(name)));
	level.write(&out, 0, false);
	out.close();
}
