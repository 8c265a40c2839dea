#include "WorldFixture.h"
#include <io/IOException.h>
#include <lua/LuaException.h>
#include <world/uniqueid.h>
#include <algorithm>
#include <string>

namespace {

using GameLuaFiles = WorldFixture;

const char* const PROGRESS = "world.progress = { level = 4, name = 'forest', done = true, stars = { 1, 2 } }";

TEST_F(GameLuaFiles, AMissingShippedFileIsReportedAndLoadingGoesOn)
{
	const Output output = capture([&] { world->loadLuaFile("missing.lua", "starTable", false, false); });
	EXPECT_EQ("Unable to load lua file missing.lua\n", output.debug.substr(output.debug.find("Unable")));
	EXPECT_NE(std::string::npos, output.standard.find("EXCEPTION: Failed to open "));
	EXPECT_FALSE(boolean("world.starTable ~= nil"));

	files.ship("starLimits.lua", "level1 = { 100, 200 }");
	world->loadLuaFile("starLimits.lua", "starTable", false, false);
	EXPECT_EQ(200.0f, number("world.starTable.level1[2]"));
}

TEST_F(GameLuaFiles, AShippedFileFillsTheWorldOrTheNamedTable)
{
	files.ship("loadlist.lua", "loadList = { 'a', 'b' }");
	world->loadLuaFile("loadlist.lua", "", false, false);
	EXPECT_EQ("b", text("world.loadList[2]"));
	files.ship("leaderboards.lua", "best = 'total'");
	world->loadLuaFile("leaderboards.lua", "leaderboards", false, false);
	EXPECT_EQ("total", text("world.leaderboards.best"));
	EXPECT_FALSE(boolean("world.best ~= nil"));
}

TEST_F(GameLuaFiles, APlainShippedFileLoadsNothing)
{
	iotest::writeFile(files.dataFile("plain.lua"), "plainValue = 1 -- sixteen bytes!!");
	const Output output = capture([&] { world->loadLuaFile("plain.lua", "", false, false); });
	EXPECT_FALSE(boolean("world.plainValue ~= nil"));
	EXPECT_NE(std::string::npos, output.debug.find("Unable to load lua file plain.lua\n"));
	EXPECT_NE(std::string::npos, output.standard.find("EXCEPTION: \n"));
}

TEST_F(GameLuaFiles, GameLogicWithoutUpdateValuesRunsButLeavesTheScriptsNotReady)
{
	run("function world.gamePaused() paused = true end");
	files.ship("gamelogic.lua", "chunkRan = true");
	const Output output = capture([&] { world->compile(files.dataFile("gamelogic.lua").c_str()); });
	EXPECT_TRUE(boolean("world.chunkRan"));
	EXPECT_NE(std::string::npos, output.standard.find("EXCEPTION: "));
	world->activate(false);
	EXPECT_FALSE(boolean("paused ~= nil"));
}

TEST_F(GameLuaFiles, LoadLuaFileToObjectStoresANewScriptObject)
{
	files.ship("object.lua", "size = 5 seesWorld = gamelua.screenWidth ~= nil");
	run("target = {} world.loadLuaFileToObject('object.lua', target, 'box')");
	EXPECT_EQ(5.0f, number("target.box.size"));
	EXPECT_TRUE(boolean("target.box.seesWorld and target.box.this == target.box"));

	const Output output = capture([&] { run("world.loadLuaFileToObject('missing.lua', target, 'other')"); });
	EXPECT_FALSE(boolean("target.other ~= nil"));
	EXPECT_NE(std::string::npos, output.debug.find("Unable to load lua file missing.lua\n"));
	EXPECT_THROW(run("world.loadLuaFileToObject('object.lua', 'not a table', 'box')"), lua::LuaException);
}

TEST_F(GameLuaFiles, CheckForLuaFileOnlyOpensTheFile)
{
	iotest::writeFile(files.dataFile("empty.lua"), "");
	iotest::writeFile(files.dataFile("garbage.lua"), "not enciphered");
	EXPECT_TRUE(boolean("world.checkForLuaFile('empty.lua') and world.checkForLuaFile('garbage.lua')"));
	EXPECT_FALSE(boolean("world.checkForLuaFile('missing.lua')"));
}

TEST_F(GameLuaFiles, PersistentFilesAreReadUnderTheSaveKeyThenTheDeviceKeyNeverPlain)
{
	const lang::Array<unsigned char> deviceKey = FileKeys::deviceKey(FileKeys::dataKey(), getUniqueID());
	files.save("save.lua", FileKeys::saveKey(), "value = 1");
	files.save("device.lua", deviceKey, "value = 2");
	// Deciphers under the save key but does not run, so the device key gets its turn.
	iotest::writeFile(files.documentsFile("both.lua"), WorldFiles::encipher(FileKeys::saveKey(), "value = = 3"));
	files.save("data.lua", FileKeys::dataKey(), "value = 4");
	iotest::writeFile(files.documentsFile("plain.lua"), "value = 5");
	// A file that is there but gives nothing is damaged, and the log says so naming it; a missing
	// one is a first start.
	const struct
	{
		const char* name;
		int entries;
		float value;
		bool damaged;
	} cases[] = {{"save.lua", 1, 1.0f, false}, {"device.lua", 1, 2.0f, false}, {"both.lua", 0, 0.0f, true},
		{"data.lua", 0, 0.0f, true}, {"plain.lua", 0, 0.0f, true}, {"missing.lua", 0, 0.0f, false}};
	for (const auto& c : cases)
	{
		lua::LuaTable table;
		const Output output = capture([&] { table = world->loadPersistentFile(c.name); });
		EXPECT_EQ(c.damaged, output.debug.find(std::string("Damaged save file ") + c.name + " left unread (") != std::string::npos)
			<< c.name << ": " << output.debug;
		ASSERT_EQ(c.entries, table.size()) << c.name;
		if (c.entries)
		{
			EXPECT_EQ(c.value, table.getNumber("value")) << c.name;
		}
	}
}

TEST_F(GameLuaFiles, TheWorldReadsItsPersistentTablesWhenMade)
{
	files.save("highscores.lua", FileKeys::deviceKey(FileKeys::dataKey(), getUniqueID()), "level1 = 1200");
	files.save("settings.lua", FileKeys::saveKey(), "music = false");
	const lang::Ptr<GameLua> second = new GameLua(&app, res->getResources(), lua, &context);
	EXPECT_EQ(1200.0f, second->getTable("highscores").getNumber("level1"));
	EXPECT_FALSE(second->getTable("settings").getBoolean("music"));
}

TEST_F(GameLuaFiles, SavedTablesReadBackWithTheirEntries)
{
	run(PROGRESS);
	run("world.saveLuaFile('progress.lua', 'progress', true)");
	const std::string stored = iotest::readFile(files.documentsFile("progress.lua"));
	EXPECT_EQ(std::string::npos, stored.find("forest"));
	const lua::LuaTable loaded = world->loadPersistentFile("progress.lua");
	EXPECT_EQ(4.0f, loaded.getNumber("level"));
	EXPECT_EQ(std::string("forest"), loaded.getString("name").c_str());
	EXPECT_TRUE(loaded.getBoolean("done"));
	EXPECT_EQ(2.0f, loaded.getTable("stars").getNumber(2));

	run("world.saveLuaFile('progress.lua', 'progress', false)");
	EXPECT_NE(std::string::npos, iotest::readFile(files.dataFile("progress.lua")).find("name = \"forest\""));
}

TEST_F(GameLuaFiles, AFailedSaveLeavesTheOldFileWhole)
{
	const std::string old = "the old file";
	iotest::writeFile(files.documentsFile("progress.lua"), old);
	iotest::writeFile(files.dataFile("progress.lua"), old);
	// A table that holds itself fails part-way through being written.
	run("world.progress = { a = 1 } world.progress.self = world.progress");
	EXPECT_THROW(run("world.saveLuaFile('progress.lua', 'progress', true)"), lua::LuaException);
	EXPECT_THROW(run("world.saveLuaFile('progress.lua', 'progress', false)"), lua::LuaException);
	run(PROGRESS);
	io::AppDataOutputStream::setRootPath(files.documentsFile("missing").c_str());
	EXPECT_THROW(run("world.saveLuaFile('progress.lua', 'progress', true)"), io::IOException);
	io::AppDataOutputStream::setRootPath(files.documentsFile("").c_str());
	run("world.saveLuaFile('progress.lua', 'noSuchTable', true)");

	EXPECT_EQ(old, iotest::readFile(files.documentsFile("progress.lua")));
	EXPECT_EQ(old, iotest::readFile(files.dataFile("progress.lua")));
	const std::vector<std::string> names = files.entries("data");
	EXPECT_EQ(1u, std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("progress.lua", 0) == 0; }));
}

} // namespace
