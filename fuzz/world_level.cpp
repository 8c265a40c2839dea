// Loads each input as a level the way the game does: the bytes are plain level text, enciphered
// under the data key into the level file, loaded by the game world (definition files, emptying
// the world, the level table and its "filename" check) and then built into bodies and joints by
// a small level script through the world's own methods, on a static ground whose top is y = 0.
// The level's "jointChanges" (tables for "setJointParameters") and "destroyJoints" (names)
// change its joints after the load; its "calls", a list of calls such as
// { "setPosition", "a", 1e30, 0 } or { "addVertex", 0.92, -1.12 }, method by name and arguments
// as given, are made once it is built, and those of its "inCallback" from inside the first
// contact callback of the step; and a level with "reload" set is saved, given its file name back,
// enciphered and loaded again. The world is stepped after each load: a body that the frame's
// checks after a step found turned to no number (a fault the guards before the physics missed)
// stops the fuzzer, as does a body at no finite place or angle, and any body, joint or record left once the input's
// level is cleared. One game world serves every input, so each input pays only for the load; the
// Lua work of each part of an input runs under the limits of LuaFuzzing.h.
#include "LuaFuzzing.h"
#include "../tests/support/RecordingContext.h"
#include "../tests/world/GameLuaTestAccess.h"
#include "../tests/world/WorldTestApp.h"
#include <game/LuaResources.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <io/ByteArrayInputStream.h>
#include <lang/Array.h>
#include <lang/Ptr.h>
#include <lang/Throwable.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>
#include <world/FileKeys.h>
#include <world/GameLua.h>
#include <world/encrypt.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The level every input becomes, under the data directory, without its extension; the seeds
// name it in their "filename", which the loader compares with the file's own name.
const char* const LEVEL_NAME = "levels/level_1";
// Where a level with "reload" set is saved, and the name it is given to load again.
const char* const SAVED_NAME = "levels/saved";
const char* const SAVED_FILENAME = "\nfilename = \"saved.lua\"\n";
// Frames of a thirtieth of a second stepped after each load: a world may take a second or two
// to turn to no number.
const int FRAMES = 60;
const float FRAME_SECONDS = 1.0f / 30.0f;

// The definition files a load reads, each enciphered once into the data directory's scripts:
// a material, a damage factor set, one box, one circle and one target, so that seeds build
// bodies of both shapes. Every other file the load asks for is there and empty, so no input
// pays for a missing file's report.
struct DefinitionText
{
	const char* file;
	const char* text;
};

const DefinitionText DEFINITIONS[] = {
	{"materials.lua", "wood = { hitSound = 'hit_wood', rolling = 'wood' }"},
	{"damagefactors.lua", "block = { damageMultiplier = { wood = 1 }, velocityMultiplier = { wood = 0.5 } }"},
	{"blocks_wood.lua", "wood = { { definition = 'wood_plank', type = 'box', sprite = '', width = 6, height = 0.6,"
		" density = 1, friction = 0.7, restitution = 0.1, material = 'wood', z = 2 } }"},
	{"projectiles.lua", "projectiles = { { definition = 'projectile', type = 'circle', sprite = '', radius = 0.5,"
		" density = 2, friction = 0.5, restitution = 0.2, material = 'wood', z = 3 } }"},
	{"targets.lua", "targets = { { definition = 'target', type = 'circle', sprite = '', radius = 0.7,"
		" density = 1, friction = 0.5, restitution = 0.3, material = 'wood', z = 2 } }"},
	{"levelgoals.lua", ""},
	{"scoreobjects.lua", ""},
	{"blocks_hazard.lua", ""},
	{"blocks_stone.lua", ""},
	{"blocks_glass.lua", ""},
	{"blocks_misc.lua", ""},
	{"blocks_static.lua", ""},
	{"blocks_staticfragile.lua", ""},
	{"blocks_decorations.lua", ""},
	{"themes.lua", ""},
	{"groups.lua", ""},
	{"particles.lua", ""},
};

// What the game's scripts do with a loaded level, reduced to the world's methods: every entry of
// "world" whose definition is known becomes a body where the entry puts it, turned by its angle,
// of the entry's own "friction" and "restitution" where it gives them, with the script fields contacts and saving read; the level's "joints" are made between them and
// changed as the level asks, then its "calls" are made. The frame callbacks do nothing; the first
// contact callback of a build makes the level's "inCallback" calls. Each call is a method of the
// world that a script may call, also while the world steps (moves, turns, speeds, impulses,
// forces, objects and polygons of the vertex list, joints, removals and queries), its failures
// caught as a script's would be. clearLevel removes it all again and empties the vertex list, so
// that an input frees what it made before it ends (leak detection counts allocations per input),
// the next starts from the same world, and a load that fails, which keeps the table it would
// replace, finds none. Defined in the world's table, whose members are its globals.
const char* const BUILD_LEVEL = R"(
local pairs, ipairs, type, pcall, unpack = _G.pairs, _G.ipairs, _G.type, _G.pcall, _G.unpack
local methods = _G.getfenv(1)
scoreTable = { blocks = { score = 0 } }
function update() end
function removeBlocks() end

local LISTED_METHODS = {
	setPosition = true, setRotation = true, setVelocity = true, setAngularVelocity = true, applyImpulse = true,
	applyForce = true, setSleeping = true, setCollisionEnabled = true, setObjectParameter = true,
	createBox = true, createCircle = true, clearVertices = true, addVertex = true, createPolygon = true,
	removeObject = true, createJoint = true, createJoints = true,
	setJointParameters = true, destroyJoint = true, removeJointsFromObject = true, checkJointLimits = true,
	getIntersectingObjects = true, getRayCastedObjects = true, getWorldPoint = true, getLocalPoint = true,
	getAngle = true, getAngularVelocity = true,
}
local calledBack = true

local function makeCalls(calls)
	if type(calls) ~= "table" then return end
	for _, call in ipairs(calls) do
		if type(call) == "table" and LISTED_METHODS[call[1]] then pcall(methods[call[1]], unpack(call, 2)) end
	end
end

local function callFromStep()
	if calledBack then return end
	calledBack = true
	makeCalls(type(loadedObjects) == "table" and loadedObjects.inCallback)
end
blockCollision = callFromStep
projectileCollision = callFromStep

function buildLevel(name)
	calledBack = false
	loadLevel(name)
	local level = loadedObjects
	if type(level) ~= "table" or type(level.world) ~= "table" then return end
	createBox("ground", "", 0, 1, 400, 2, 0, 0.5, 0, true, false, 0)
	objects.world.ground.material = "wood"
	for key, entry in pairs(level.world) do
		local definition = type(entry) == "table" and blockTable.blocks[entry.definition]
		if definition then
			local projectile = definition.group == "projectiles"
			local friction, restitution = entry.friction or definition.friction, entry.restitution or definition.restitution
			if definition.type == "circle" then
				createCircle(key, definition.sprite, entry.x, entry.y, definition.radius, definition.density,
					friction, restitution, true, projectile, definition.z)
			else
				createBox(key, definition.sprite, entry.x, entry.y, definition.width, definition.height, definition.density,
					friction, restitution, true, false, definition.z)
			end
			local made = objects.world[key]
			if made then
				made.material, made.definition, made.damageFactors = definition.material, entry.definition, "block"
			end
			if entry.angle ~= 0 then setRotation(key, entry.angle) end
		end
	end
	if type(level.joints) == "table" then createJoints(level.joints) end
	for _, change in ipairs(type(level.jointChanges) == "table" and level.jointChanges or {}) do setJointParameters(change) end
	for _, joint in ipairs(type(level.destroyJoints) == "table" and level.destroyJoints or {}) do destroyJoint(joint) end
	makeCalls(level.calls)
end

function saveIfAsked(name)
	if type(loadedObjects) == "table" and loadedObjects.reload then saveLevel(name) return true end
	return false
end

function clearLevel()
	for key in pairs(objects.world) do removeObject(key) end
	clearVertices()
	loadedObjects = nil
	objects.world = {}
	objects.joints = {}
end
)";

lang::Array<unsigned char> bytes(const void* data, size_t size)
{
	lang::Array<unsigned char> array;
	array.resize(static_cast<int>(size));
	std::copy(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size, array.begin());
	return array;
}

// Writes text enciphered under the data key; false when it cannot be enciphered.
bool ship(const std::filesystem::path& file, const void* text, size_t size)
{
	lang::Array<unsigned char> cipher;
	if (!encrypt(FileKeys::dataKey(), bytes(text, size), cipher))
		return false;
	std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(cipher.begin()), cipher.size());
	return true;
}

// The game world every input loads into, with its data and documents directories in a fresh
// temporary directory; made at the first input and torn down, directory and all, at exit.
class LevelWorld
{
public:
	LevelWorld() : m_directory(makeDirectory())
	{
		std::filesystem::create_directories(m_directory / "data" / "levels");
		std::filesystem::create_directories(m_directory / "data" / "scripts");
		std::filesystem::create_directories(m_directory / "documents");
		for (const DefinitionText& definition : DEFINITIONS)
			ship(m_directory / "data" / "scripts" / definition.file, definition.text, std::char_traits<char>::length(definition.text));
		io::AppDataInputStream::setRootPath((m_directory / "documents").c_str());
		io::AppDataOutputStream::setRootPath((m_directory / "documents").c_str());
		m_app.setDataPath((m_directory / "data").c_str());

		m_world = new GameLua(&m_app, m_resources->getResources(), m_lua, &m_context);
		m_world->setString("scriptPath", "scripts");
		io::ByteArrayInputStream script(BUILD_LEVEL, static_cast<int>(std::char_traits<char>::length(BUILD_LEVEL)));
		m_lua->compile(&script, script.available(), lang::String("buildLevel"), m_world);
	}

	~LevelWorld()
	{
		m_world = nullptr;
		m_resources = nullptr;
		m_lua = nullptr;
		io::AppDataInputStream::setRootPath("");
		io::AppDataOutputStream::setRootPath("");
		std::error_code ignored;
		std::filesystem::remove_all(m_directory, ignored);
	}

	LevelWorld(const LevelWorld&) = delete;
	LevelWorld& operator=(const LevelWorld&) = delete;

	std::filesystem::path levelFile() const					{ return m_directory / "data" / (std::string(LEVEL_NAME) + ".lua"); }

	// Loads and builds the level file and steps it, saves and loads it again when it asks to,
	// then removes what it built and collects the garbage of the input's Lua work, so that the
	// next input starts with what this one started with.
	void load()
	{
		build(LEVEL_NAME);
		if (saveAndShip())
			build(SAVED_NAME);
		// The clearing gets a budget of its own: the input may have spent all of its own.
		luafuzz::budget = luafuzz::Budget{0, 0};
		callQuietly("clearLevel", LEVEL_NAME);
		if (GameLuaTestAccess::physicsWorld(*m_world).GetBodyCount() != 0 || GameLuaTestAccess::physicsWorld(*m_world).GetJointCount() != 0
			|| GameLuaTestAccess::recordCount(*m_world) != 0)
			std::abort();
		lua_gc(m_lua->interpreter(), LUA_GCCOLLECT, 0);
	}

private:
	std::filesystem::path m_directory;
	WorldTestOS m_os;
	WorldTestApp m_app{&m_os};
	RecordingContext m_context;
	lang::Ptr<lua::LuaState> m_lua = new lua::LuaState;
	lang::Ptr<game::LuaResources> m_resources = new game::LuaResources(m_lua, &m_context);
	lang::Ptr<GameLua> m_world;

	// Script errors and the exceptions of the world's methods are the outcomes a level may have.
	void callQuietly(const char* function, const char* level)
	{
		try
		{
			m_world->call(function, lang::String(level));
		}
		catch (const lang::Throwable&)
		{
		}
	}

	// Builds the level, then steps it; no body may turn to no number in a step, and every body
	// must stay at a finite place and angle. One the net puts back from beyond the world's extent
	// is its ordinary work.
	void build(const char* level)
	{
		luafuzz::limit(*m_lua);
		callQuietly("buildLevel", level);
		luafuzz::budget = luafuzz::Budget{0, 0};
		m_world->setPhysicsEnabled(true);
		for (int frame = 0; frame < FRAMES; ++frame)
		{
			try
			{
				m_world->update(FRAME_SECONDS);
			}
			catch (const lang::Throwable&)
			{
			}
			if (GameLuaTestAccess::noNumberCatches(*m_world) != 0)
				std::abort();
		}
		m_world->setPhysicsEnabled(false);
		for (const b2Body* body = GameLuaTestAccess::physicsWorld(*m_world).GetBodyList(); body; body = body->GetNext())
			if (!std::isfinite(body->GetPosition().x) || !std::isfinite(body->GetPosition().y) || !std::isfinite(body->GetAngle()))
				std::abort();
	}

	// Saves the level when it asks to, then gives the saved text its file name and enciphers it;
	// false when nothing was saved.
	bool saveAndShip()
	{
		luafuzz::budget = luafuzz::Budget{0, 0};
		std::filesystem::remove(savedFile());
		callQuietly("saveIfAsked", SAVED_NAME);
		std::ifstream saved(savedFile(), std::ios::binary);
		if (!saved)
			return false;
		std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
		saved.close();
		text += SAVED_FILENAME;
		return ship(savedFile(), text.data(), text.size());
	}

	std::filesystem::path savedFile() const				{ return m_directory / "data" / (std::string(SAVED_NAME) + ".lua"); }

	static std::filesystem::path makeDirectory()
	{
		std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-world-level-XXXXXX").string();
		if (!mkdtemp(pattern.data()))
			std::abort();
		return pattern;
	}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	static LevelWorld world;
	if (!ship(world.levelFile(), data, size))
		return 0;
	world.load();
	return 0;
}
