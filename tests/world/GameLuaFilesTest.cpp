#include "WorldFixture.h"
#include <io/IOException.h>
#include <lua/LuaException.h>
#include <world/ScriptTableKeys.h>
#include <world/uniqueid.h>
#include <algorithm>
#include <filesystem>
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
	EXPECT_NE(std::string::npos, output.standard.find("EXCEPTION: it does not decipher under the data key\n"));
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

// The interpreter names a chunk by its path; a runtime error shows that path whole, however deep
// the data folder lies.
TEST_F(GameLuaFiles, AGameLogicErrorNamesTheFileWhole)
{
	const std::string name = std::string(120, 'd') + "/gamelogic.lua";
	std::filesystem::create_directories(files.dataFile(std::string(120, 'd')));
	files.ship(name, "function updateValues()\n local broken = nil\n broken.field = 1\nend\n");
	const std::string path = files.dataFile(name);
	capture([&] { world->compile(path.c_str()); });
	const std::string reason = "[string \"" + path + "\"]:3: attempt to index local 'broken' (a nil value)";
	EXPECT_EQ(reason, std::string(world->compileFailure().c_str()).substr(0, reason.size()));
}

// Functions that shipped tables and script objects define name their file when they fail.
TEST_F(GameLuaFiles, AnErrorInAShippedFileNamesTheFile)
{
	const char* const failing = "function fail()\n local broken = nil\n broken.field = 1\nend\n";
	files.ship("rules.lua", failing);
	world->loadLuaFile("rules.lua", "rules", false, false);
	files.ship("object.lua", failing);
	run("target = {} world.loadLuaFileToObject('object.lua', target, 'box')");
	const struct { const char* call; const char* file; } cases[] = {{"world.rules.fail()", "rules.lua"}, {"target.box.fail()", "object.lua"}};
	for (const auto& call : cases)
	{
		const std::string reason = "[string \"" + files.dataFile(call.file) + "\"]:3: attempt to index local 'broken' (a nil value)";
		try
		{
			run(call.call);
			ADD_FAILURE() << call.call << " did not fail";
		}
		catch (const lua::LuaException& e)
		{
			EXPECT_NE(std::string::npos, std::string(e.getMessage().format().c_str()).find(reason)) << e.getMessage().format().c_str();
		}
	}
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

// Saves that decipher may still hold entries of the wrong kind (by damage or by hand): each is
// dropped and logged with the file and why, and the rest of the save is kept.
TEST_F(GameLuaFiles, TheWorldReadsItsPersistentTablesWhenMadeAndDropsWrongEntries)
{
	files.save("highscores.lua", FileKeys::deviceKey(FileKeys::dataKey(), getUniqueID()),
		"level_1 = { score = 1200, stars = 2 }\n level_2 = { score = 'lots', stars = 9 }\n level_3 = { score = -5, stars = 1 }\n"
		"level_4 = { score = 10, stars = 4 }\n level_5 = { score = 10, stars = 1.5 }\n level_6 = 300\n"
		"level_7 = { score = 0, stars = 0 }\n level_8 = { score = 1/0, stars = 3 }\n level_9 = { stars = 3 }\n");
	files.save("settings.lua", FileKeys::saveKey(), "music = false volume = 'loud' audioEnabled = 1");
	lang::Ptr<GameLua> second;
	const Output output = capture([&] { second = new GameLua(&app, res->getResources(), lua, &context); });
	const lua::LuaTable highscores = second->getTable("highscores");
	EXPECT_EQ(1200.0f, highscores.getTable("level_1").getNumber("score"));
	EXPECT_EQ(2.0f, highscores.getTable("level_1").getNumber("stars"));
	EXPECT_EQ(0.0f, highscores.getTable("level_7").getNumber("stars"));
	const lua::LuaTable settings = second->getTable("settings");
	EXPECT_FALSE(settings.getBoolean("music"));
	const std::pair<const char*, const char*> dropped[] = {
		{"level_2 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_3 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_4 of save file highscores.lua", "its stars are no whole number from 0 to 3"},
		{"level_5 of save file highscores.lua", "its stars are no whole number from 0 to 3"},
		{"level_6 of save file highscores.lua", "it is no table of a score and stars"},
		{"level_8 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_9 of save file highscores.lua", "its score is no number of zero or more"},
		{"volume of save file settings.lua", "it is no number from 0 to 1"},
		{"audioEnabled of save file settings.lua", "it is neither true nor false"},
	};
	for (const auto& entry : dropped)
	{
		const std::string line = std::string("Damaged entry ") + entry.first + " dropped (" + entry.second + ")\n";
		EXPECT_NE(std::string::npos, output.debug.find(line)) << line << output.debug;
	}
	// What is left: level_1 and level_7, and the music setting.
	EXPECT_EQ(2, scriptTableStringKeys(highscores).size());
	EXPECT_EQ(1, scriptTableStringKeys(settings).size());

	// A settings file that gives nothing leaves the settings at their defaults, and says so.
	iotest::writeFile(files.documentsFile("settings.lua"), "not enciphered at all, sixteen++");
	const Output damaged = capture([&] { world->loadPersistentFile("settings.lua"); });
	EXPECT_NE(std::string::npos, damaged.debug.find("Damaged save file settings.lua left unread (it deciphers under neither key); "
		"the settings start from their defaults\n")) << damaged.debug;
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
