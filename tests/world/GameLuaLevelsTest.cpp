#include "GameLuaTestAccess.h"
#include "WorldFixture.h"
#include "io/IoTestSupport.h"
#include <lang/Debug.h>
#include <lua/LuaException.h>
#include <world/FileKeys.h>
#include <world/encrypt.h>
#include <filesystem>

namespace {

/** A game world whose data directory is a fresh temporary one, holding "levels" and "scripts". */
class Levels : public WorldFixture
{
protected:
	iotest::TemporaryDirectory data;

	Levels()
	{
		app.setDataPath(data.path().c_str());
		std::filesystem::create_directories(data.file("levels"));
		std::filesystem::create_directories(data.file("scripts"));
		world->setString("scriptPath", "scripts");
	}

	/** What loadLevel writes to the debug output. */
	std::string load(const std::string& name)
	{
		lang::Debug::setEnabled(true);
		testing::internal::CaptureStderr();
		world->loadLevel(lang::String(name.c_str()));
		lang::Debug::setEnabled(false);
		return testing::internal::GetCapturedStderr();
	}

	/** Runs the text of a saved level into the global table "saved". */
	void readSaved(const std::string& name)
	{
		lua->globals().setString("savedText", iotest::readFile(data.file(name)).c_str());
		run("local chunk = assert(loadstring(savedText)) saved = {} setfenv(chunk, saved) chunk()");
	}

	void ship(const std::string& name, const std::string& text)
	{
		lang::Array<unsigned char> plain;
		plain.resize(static_cast<int>(text.size()));
		std::copy(text.begin(), text.end(), plain.begin());
		lang::Array<unsigned char> cipher;
		ASSERT_TRUE(encrypt(FileKeys::dataKey(), plain, cipher));
		iotest::writeFile(data.file(name), std::string(cipher.begin(), cipher.end()));
	}
};

TEST_F(Levels, TheGroundIsDefinedEvenWhenNothingLoads)
{
	const std::string log = load("levels/missing");
	const size_t removing = log.find("Removing physics objects...\n");
	const size_t loading = log.find("Loading level from file...\n");
	ASSERT_NE(std::string::npos, removing) << log;
	ASSERT_NE(std::string::npos, loading) << log;
	EXPECT_LT(removing, loading);
	EXPECT_NE(std::string::npos, log.find("Unable to load level.\n", loading)) << log;
	EXPECT_EQ("immovable", text("world.blockTable.blocks.Ground.material"));
	EXPECT_EQ("box", text("world.blockTable.blocks.Ground.type"));
	EXPECT_EQ("", text("world.blockTable.blocks.Ground.sprite .. world.blockTable.blocks.Ground.texture .. world.blockTable.blocks.Ground.theme"));
	EXPECT_FALSE(world->loadingLevel());
	EXPECT_TRUE(boolean("world.loadedObjects == nil"));
}

TEST_F(Levels, ALoadThatFailsHalfwayStillClearsTheLoadingFlag)
{
	world->remove("scriptPath");
	EXPECT_THROW(world->loadLevel(lang::String("levels/missing")), lua::LuaException);
	EXPECT_FALSE(world->loadingLevel());
}

TEST_F(Levels, ASavedLevelHoldsThePlacesOfTheObjectsAndNoFilename)
{
	run(R"(
		world.objects.theme = 'meadow'
		world.objects.counts = { projectiles = 3 }
		world.objects.physicsToWorld = 20
		world.objects.doNotWaitForMovingObjects = 'not a boolean'
		world.objects.castleCameraData = 7
		world.objects.world = {
			roof = { angle = 0.5, x = 1, y = -2, name = 'roof', definition = 'wood_plank', startNumber = 3, strength = 8 },
			cap = { angle = 0, x = 4, y = -5, name = 'cap', definition = 'stone_block' },
			note = 'not an object',
		})");
	world->saveLevel(lang::String("levels/saved"));
	readSaved("levels/saved.lua");
	EXPECT_EQ("meadow", text("saved.theme"));
	EXPECT_EQ(3.0f, number("saved.counts.projectiles"));
	EXPECT_EQ(20.0f, number("saved.physicsToWorld"));
	EXPECT_TRUE(boolean("saved.doNotWaitForMovingObjects == nil and saved.castleCameraData == nil and saved.filename == nil"));
	EXPECT_EQ(0.5f, number("saved.world.roof.angle"));
	EXPECT_EQ(-2.0f, number("saved.world.roof.y"));
	EXPECT_EQ(3.0f, number("saved.world.roof.startNumber"));
	EXPECT_TRUE(boolean("saved.world.roof.strength == nil and saved.world.cap.startNumber == nil and saved.world.note == nil"));
	EXPECT_EQ("stone_block", text("saved.world.cap.definition"));

	run("world.objects.world = nil");
	world->saveLevel(lang::String("levels/saved"));
	readSaved("levels/saved.lua");
	EXPECT_TRUE(boolean("type(saved.world) == 'table' and next(saved.world) == nil"));
}

TEST_F(Levels, SavingAnObjectWithoutItsPlaceThrowsAndWritesNothing)
{
	run("world.objects.world = { roof = { x = 1, y = 2, name = 'roof', definition = 'wood_plank' } }");
	EXPECT_THROW(world->saveLevel(lang::String("levels/saved")), lua::LuaException);
	EXPECT_FALSE(std::filesystem::exists(data.file("levels/saved.lua")));
}

TEST_F(Levels, BlockFilesBecomeDefinitionsByNameWithTheirIndexAndGroup)
{
	ship("scripts/blocks_wood.lua", "wood = { { definition = 'WoodA' }, { definition = 'Shared' }, extra = { definition = 'ByText' } }\n"
		"count = 2");
	ship("scripts/blocks_stone.lua", "stone = { [3] = { definition = 'Shared' } }");
	load("levels/missing");
	EXPECT_EQ(1.0f, number("world.blockTable.blocks.WoodA.index"));
	EXPECT_EQ("wood", text("world.blockTable.blocks.WoodA.group"));
	EXPECT_EQ("stone", text("world.blockTable.blocks.Shared.group"));
	EXPECT_EQ(3.0f, number("world.blockTable.blocks.Shared.index"));
	EXPECT_TRUE(boolean("world.blockTable.blocks.ByText == nil"));
	EXPECT_EQ("immovable", text("world.blockTable.blocks.Ground.material"));
}

TEST_F(Levels, ALevelMustNameItsOwnFileWithTheExtension)
{
	const struct
	{
		const char* filename;
		bool loads;
	} cases[] = {{"castle_1.lua", true}, {"castle_1", false}, {"castle_2.lua", false}};
	for (const auto& c : cases)
	{
		run("world.loadedObjects = 'before'");
		ship("levels/castle_1.lua", std::string("filename = '") + c.filename + "' marker = 1");
		const std::string log = load("levels/castle_1");
		EXPECT_EQ(!c.loads, log.find(std::string("Unable to load level.\nLevel file levels/castle_1.lua: it names the file ")
			+ c.filename + "\n") != std::string::npos) << c.filename << ": " << log;
		EXPECT_EQ(c.loads, boolean("type(world.loadedObjects) == 'table' and world.loadedObjects.marker == 1")) << c.filename;
	}
}

// After the line every failed load gives comes one naming the file and why it did not load.
TEST_F(Levels, ALevelThatDoesNotLoadIsLoggedWithItsFileAndTheReason)
{
	const struct
	{
		const char* contents;
		bool enciphered;
		const char* reason;
	} cases[] = {
		{nullptr, false, "Failed to open "},
		{"filename = 'castle_1.lua'", false, "it does not decipher under the data key"},
		{"marker = 1", true, "it names no filename"},
		{"filename = = 1", true, "Error while compiling Lua"},
	};
	for (const auto& c : cases)
	{
		std::filesystem::remove(data.file("levels/castle_1.lua"));
		if (c.contents && c.enciphered)
			ship("levels/castle_1.lua", c.contents);
		else if (c.contents)
			iotest::writeFile(data.file("levels/castle_1.lua"), c.contents);
		const std::string log = load("levels/castle_1");
		const std::string lines = "Unable to load level.\nLevel file levels/castle_1.lua: ";
		const size_t line = log.find(lines);
		ASSERT_NE(std::string::npos, line) << log;
		EXPECT_EQ(line + lines.size(), log.find(c.reason, line)) << log;
	}
}

TEST_F(Levels, ASavedLevelLoadsBackOnceItNamesItselfAndIsEnciphered)
{
	run("world.objects.world = { roof = { angle = 0, x = 1, y = -2, name = 'roof', definition = 'wood_plank' } }");
	world->saveLevel(lang::String("levels/castle_1"));
	EXPECT_NE(std::string::npos, load("levels/castle_1").find("Unable to load level.\n"));
	ship("levels/castle_1.lua", iotest::readFile(data.file("levels/castle_1.lua")) + "\nfilename = \"castle_1.lua\"\n");
	load("levels/castle_1");
	EXPECT_EQ("wood_plank", text("world.loadedObjects.world.roof.definition"));
	EXPECT_EQ(-2.0f, number("world.loadedObjects.world.roof.y"));
}

// Bodies go whether or not the object table names them; the scripts keep their own tables.
TEST_F(Levels, ALoadEmptiesThePhysicsWorldEvenWhenTheLevelFileFails)
{
	run(R"(
		world.createBox('shelf', '', 0, 0, 10, 1, 1, 0.5, 0, true, false, 1)
		world.createBox('shelf', '', 0, 0, 10, 1, 1, 0.5, 0, true, false, 1)
		world.createCircle('ball', '', 0, -3, 0.5, 1, 0.5, 0, true, true, 1))");
	b2World& physics = GameLuaTestAccess::physicsWorld(*world);
	b2BodyDef definition;
	b2Body* stray = physics.CreateBody(&definition);
	b2CircleShape circle;
	circle.m_radius = 1.0f;
	b2FixtureDef fixture;
	fixture.shape = &circle;
	fixture.userData.pointer = reinterpret_cast<uintptr_t>(new GameLua::FixtureUserData{lang::String("stray"), true, 0, false});
	stray->CreateFixture(&fixture);

	load("levels/missing");
	EXPECT_EQ(0, physics.GetBodyCount());
	EXPECT_EQ(0, physics.GetJointCount());
	EXPECT_TRUE(boolean("type(world.objects.world.shelf) == 'table' and type(world.objects.world.ball) == 'table'"));
	EXPECT_FALSE(world->loadingLevel());
}

// A number that rounds to the lowest int is an array index the interpreter handles like any other.
TEST_F(Levels, ALevelOfNumbersAtTheIntLimitsLoads)
{
	ship("levels/castle_1.lua", "filename = 'castle_1.lua' x = -2147483649 counts = {[-2147483649] = 1, [2147483648] = 2, [1e30] = 3}");
	load("levels/castle_1");
	EXPECT_EQ(-2147483648.0f, number("world.loadedObjects.x"));
	EXPECT_EQ(1.0f, number("world.loadedObjects.counts[-2147483648]"));
	EXPECT_EQ(2.0f, number("world.loadedObjects.counts[2147483648]"));
}

// A world is told apart from its successor by a gravity that only the test gives it; a new
// world has the game's own. (An address would not do: a new world may take the freed one's.)
TEST_F(Levels, DeterministicPhysicsStartsEveryLoadInANewWorld)
{
	const b2Vec2 marked(1.0f, 2.0f);
	GameLuaTestAccess::physicsWorld(*world).SetGravity(marked);
	load("levels/missing");
	EXPECT_EQ(marked, GameLuaTestAccess::physicsWorld(*world).GetGravity());
	run("world.setGameParameters({ deterministicPhysics = true })");
	load("levels/missing");
	const b2World& after = GameLuaTestAccess::physicsWorld(*world);
	EXPECT_EQ(b2Vec2(0.0f, 20.0f), after.GetGravity());
	EXPECT_FALSE(after.GetAutoClearForces());
}

// A new level starts without the particles and trails of the last one.
TEST_F(Levels, ALoadClearsParticlesAndTrails)
{
	TempDir sheets;
	defineSparks(sheets, 10.0f);
	run("particles.addParticles('spark', 3, 0, -10, 0, 0, 0)\n"
		"world.addToTrajectory(1, 0, 0) world.addPuffToTrajectory(1, 0, 0)");
	const auto drawnParticles = [this] {
		context.imageDraws.clear();
		run("world.drawParticlesNative()");
		return context.imageDraws.size();
	};
	ASSERT_EQ(3u, drawnParticles());
	ASSERT_EQ(1, GameLuaTestAccess::trailPoints(*world, 0));
	load("levels/missing");
	EXPECT_EQ(0u, drawnParticles());
	EXPECT_EQ(0, GameLuaTestAccess::trailPoints(*world, 0));
	EXPECT_EQ(0, GameLuaTestAccess::trailPuffs(*world, 0));
}

// A script may load the next level from a contact callback; the world it runs in is only
// replaced once the step is over, and the level's objects made there go into the new world.
TEST_F(Levels, ALoadFromAContactCallbackReplacesTheWorldAfterTheStep)
{
	ship("levels/castle_1.lua", "filename = 'castle_1.lua' marker = 1");
	recordCallbacks();
	run("world.setGameParameters({ deterministicPhysics = true })");
	createGround();
	const b2Vec2 marked(0.0f, 21.0f);
	GameLuaTestAccess::physicsWorld(*world).SetGravity(marked);
	run("world.createBox('crate', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.crate.material = 'wood'\n"
		"function world.blockCollision(a, b)\n"
		"  if loadedInCallback ~= nil then return end\n"
		"  world.loadLevel('levels/castle_1')\n"
		"  loadedInCallback = world.loadedObjects.marker == 1\n"
		"  world.createBox('spawned', '', 5, -5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"end");
	frames(1);
	EXPECT_TRUE(boolean("loadedInCallback"));
	// The step that loaded the level had counted its own time: the clock starts again at 0.
	EXPECT_EQ(0.0f, GameLuaTestAccess::accumulator(*world));
	frames(9);
	const b2World& after = GameLuaTestAccess::physicsWorld(*world);
	EXPECT_EQ(b2Vec2(0.0f, 20.0f), after.GetGravity());
	EXPECT_EQ(1, after.GetBodyCount());
	EXPECT_EQ(nullptr, world->getBody("crate"));
	ASSERT_NE(nullptr, world->getBody("spawned"));
	EXPECT_EQ(&after, world->getBody("spawned")->GetWorld());
	EXPECT_FALSE(world->loadingLevel());
}


} // namespace
