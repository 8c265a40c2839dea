#include "WorldFixture.h"
#include <io/IOException.h>
#include <lua/LuaException.h>
#include <world/EncipheredFile.h>
#include <world/ScriptTableKeys.h>
#include <world/uniqueid.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using GameLuaFiles = WorldFixture;

const char* const PROGRESS = "world.progress = { level = 4, name = 'forest', done = true, stars = { 1, 2 } }";

// Each entry as the log names it ("<key> of save file <file>") and why it was dropped.
void expectDroppedEntries(const std::string& log, std::initializer_list<std::pair<const char*, const char*>> dropped)
{
	for (const auto& entry : dropped)
	{
		const std::string line = std::string("Damaged entry ") + entry.first + " dropped (" + entry.second + ")\n";
		EXPECT_NE(std::string::npos, log.find(line)) << line << log;
	}
}

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
	// Deciphers under the save key but does not compile, and the device key does not decipher it.
	iotest::writeFile(files.documentsFile("both.lua"), WorldFiles::encipher(FileKeys::saveKey(), "value = = 3"));
	// Deciphers under the save key, and its text fails as it runs.
	files.save("failing.lua", FileKeys::saveKey(), "value = 6 + nil");
	files.save("data.lua", FileKeys::dataKey(), "value = 4");
	iotest::writeFile(files.documentsFile("plain.lua"), "value = 5");
	iotest::writeFile(files.documentsFile("huge.lua"), std::string(EncipheredFile::MAX_SAVE_BYTES + 1, 'x'));
	// A file that is there but gives nothing is damaged: the log says so naming it and why, and it
	// is set aside; a missing one is a first start.
	const struct
	{
		const char* name;
		float value;
		const char* damage;
	} cases[] = {{"save.lua", 1.0f, nullptr}, {"device.lua", 2.0f, nullptr},
		{"both.lua", 0.0f, "it does not compile: [string \"both.lua\"]:1: unexpected symbol near '='"},
		{"failing.lua", 0.0f, "it does not run: [string \"failing.lua\"]:1: attempt to perform arithmetic on a nil value"},
		{"data.lua", 0.0f, "it deciphers under neither key"}, {"plain.lua", 0.0f, "it deciphers under neither key"},
		{"huge.lua", 0.0f, "it holds 1048577 bytes, more than the 1048576 a save may hold"}, {"missing.lua", 0.0f, nullptr}};
	for (const auto& c : cases)
	{
		const std::string stored = iotest::readFile(files.documentsFile(c.name));
		lua::LuaTable table;
		const Output output = capture([&] { table = world->loadPersistentFile(c.name); });
		if (!c.damage)
		{
			EXPECT_EQ("", output.debug) << c.name;
			ASSERT_EQ(c.value ? 1 : 0, table.size()) << c.name;
			if (c.value)
			{
				EXPECT_EQ(c.value, table.getNumber("value")) << c.name;
			}
			continue;
		}
		const std::string line = std::string("Damaged save file ") + c.name + " left unread (" + c.damage;
		EXPECT_NE(std::string::npos, output.debug.find(line)) << line << "\n" << output.debug;
		EXPECT_EQ(0, table.size()) << c.name;
		const std::string aside = files.documentsFile(std::string(c.name) + ".damaged");
		EXPECT_NE(std::string::npos, output.debug.find(std::string("Save file ") + c.name + " set aside as " + aside + "; ")) << output.debug;
		EXPECT_EQ(stored, iotest::readFile(aside)) << c.name;
		EXPECT_FALSE(std::filesystem::exists(files.documentsFile(c.name))) << c.name;
	}
}

// Saves that decipher may still hold entries of the wrong kind (by damage or by hand): each is
// dropped and logged with the file and why, and the rest of the save is kept. A number saved as a
// string of digits is of the wrong kind too: the scripts would not take it for a number.
TEST_F(GameLuaFiles, TheWorldReadsItsPersistentTablesWhenMadeAndDropsWrongEntries)
{
	files.save("highscores.lua", FileKeys::deviceKey(FileKeys::dataKey(), getUniqueID()),
		"level_1 = { score = 1200, stars = 2 }\n level_2 = { score = 'lots', stars = 9 }\n level_3 = { score = -5, stars = 1 }\n"
		"level_4 = { score = 10, stars = 4 }\n level_5 = { score = 10, stars = 1.5 }\n level_6 = 300\n"
		"level_7 = { score = 0, stars = 0 }\n level_8 = { score = 1/0, stars = 3 }\n level_9 = { stars = 3 }\n"
		"level_10 = { score = \"25000\", stars = 2 }\n level_11 = { score = 100, stars = \"2\" }\n"
		"level_12 = { score = 3e37, stars = 3 }\n level_13 = { score = 2^63, stars = 3 }\n level_14 = { score = 2^63 - 2^39, stars = 3 }\n");
	files.save("settings.lua", FileKeys::saveKey(), "music = false volume = 'loud' audioEnabled = 1");
	lang::Ptr<GameLua> second;
	const Output output = capture([&] { second = new GameLua(&app, res->getResources(), lua, &context); });
	const lua::LuaTable highscores = second->getTable("highscores");
	EXPECT_EQ(1200.0f, highscores.getTable("level_1").getNumber("score"));
	EXPECT_EQ(2.0f, highscores.getTable("level_1").getNumber("stars"));
	EXPECT_EQ(0.0f, highscores.getTable("level_7").getNumber("stars"));
	// The highest score a 64-bit integer holds, as a float.
	EXPECT_EQ(9223371487098961920.0f, highscores.getTable("level_14").getNumber("score"));
	const lua::LuaTable settings = second->getTable("settings");
	EXPECT_FALSE(settings.getBoolean("music"));
	expectDroppedEntries(output.debug, {
		{"level_2 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_3 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_4 of save file highscores.lua", "its stars are no whole number from 0 to 3"},
		{"level_5 of save file highscores.lua", "its stars are no whole number from 0 to 3"},
		{"level_6 of save file highscores.lua", "it is no table of a score and stars"},
		{"level_8 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_9 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_10 of save file highscores.lua", "its score is no number of zero or more"},
		{"level_11 of save file highscores.lua", "its stars are no whole number from 0 to 3"},
		{"level_12 of save file highscores.lua", "its score is more than the game can count"},
		{"level_13 of save file highscores.lua", "its score is more than the game can count"},
		{"volume of save file settings.lua", "it is no number from 0 to 1"},
		{"audioEnabled of save file settings.lua", "it is neither true nor false"},
	});
	EXPECT_FALSE(second->isTable("unreadSaves"));
	// What is left: level_1, level_7 and level_14, and the music setting.
	EXPECT_EQ(3, scriptTableStringKeys(highscores).size());
	EXPECT_EQ(1, scriptTableStringKeys(settings).size());

	// A settings file that gives nothing leaves the settings at their defaults, and says so.
	iotest::writeFile(files.documentsFile("settings.lua"), "not enciphered at all, sixteen++");
	const Output damaged = capture([&] { world->loadPersistentFile("settings.lua"); });
	EXPECT_NE(std::string::npos, damaged.debug.find("Damaged save file settings.lua left unread (it deciphers under neither key); "
		"the settings start from their defaults\n")) << damaged.debug;
}

// A save's text runs as a chunk: one that never ends, or one that does not compile, is a damaged
// save like any other, and the start goes on without it. The budget is the save's alone.
TEST_F(GameLuaFiles, ASaveThatNeverEndsOrDoesNotCompileIsSetAsideAndTheStartGoesOn)
{
	const std::string looping = WorldFiles::encipher(FileKeys::saveKey(), "volume = 0.5 while true do end");
	const std::string broken = WorldFiles::encipher(FileKeys::saveKey(), "level_1 = { score = 10, stars = 1 }\nlevel_2 = = 1\n");
	iotest::writeFile(files.documentsFile("settings.lua"), looping);
	iotest::writeFile(files.documentsFile("highscores.lua"), broken);
	lang::Ptr<GameLua> second;
	const Output output = capture([&] { second = new GameLua(&app, res->getResources(), lua, &context); });
	const std::string lines[] = {
		"Damaged save file highscores.lua left unread (it does not compile: [string \"highscores.lua\"]:2: "
			"unexpected symbol near '='); its progress starts over\n",
		"Save file highscores.lua set aside as " + files.documentsFile("highscores.lua.damaged") + "; the next save starts a new file\n",
		"Damaged save file settings.lua left unread (it does not run: settings.lua ran past its budget of 10000000 instructions); "
			"the settings start from their defaults\n",
		"Save file settings.lua set aside as " + files.documentsFile("settings.lua.damaged") + "; the next save starts a new file\n",
	};
	for (const std::string& line : lines)
		EXPECT_NE(std::string::npos, output.debug.find(line)) << line << output.debug;
	EXPECT_EQ(0, second->getTable("highscores").size());
	EXPECT_EQ(0, second->getTable("settings").size());
	// The scripts are told which saves were left unread, so that the player hears of it.
	const lua::LuaTable unread = second->getTable("unreadSaves");
	ASSERT_EQ(2, unread.size());
	EXPECT_EQ("highscores.lua", std::string(unread.getString(1).c_str()));
	EXPECT_EQ("settings.lua", std::string(unread.getString(2).c_str()));
	EXPECT_EQ(broken, iotest::readFile(files.documentsFile("highscores.lua.damaged")));
	EXPECT_EQ(looping, iotest::readFile(files.documentsFile("settings.lua.damaged")));
	EXPECT_EQ(nullptr, lua_gethook(lua->interpreter()));

	// The world saves its settings as it goes: a new file, read at the next start.
	second->getTable("settings").setNumber("volume", 0.25f);
	second = nullptr;
	EXPECT_EQ(0.25f, world->loadPersistentFile("settings.lua").getNumber("volume"));
}

// A save whose few instructions each take long, comparing or joining long strings, is stopped
// as soon as one that never ends: it is damaged, set aside, and the start goes on without it.
TEST_F(GameLuaFiles, ASaveThatHoldsTheStartByLongStringsIsSetAsideAndTheStartGoesOn)
{
	const std::string stalling = WorldFiles::encipher(FileKeys::saveKey(),
		"local s = \"a\"\nfor i = 1, 22 do s = s .. s end\nlocal t, u = s .. \"b\", s .. \"c\"\ns = nil\nlocal n = 0\n"
		"for i = 1, 2000000 do if t < u then n = n + 1 end end\nvolume = 0.5\n");
	iotest::writeFile(files.documentsFile("settings.lua"), stalling);
	lang::Ptr<GameLua> second;
	const Output output = capture([&] { second = new GameLua(&app, res->getResources(), lua, &context); });
	const std::string line = "Damaged save file settings.lua left unread (it does not run: settings.lua asked for a block of more "
		"than 4194304 bytes); the settings start from their defaults\n";
	EXPECT_NE(std::string::npos, output.debug.find(line)) << output.debug;
	EXPECT_EQ(0, second->getTable("settings").size());
	EXPECT_EQ(stalling, iotest::readFile(files.documentsFile("settings.lua.damaged")));
}

// An entry that the game's writer cannot save (one that holds itself, one nested deeper than the
// writer goes, one whose text would pass what a save may hold) is dropped as the save is read,
// with the line of other damaged entries, and the next saves of both files succeed. What the
// writer takes is kept.
TEST_F(GameLuaFiles, EntriesThatCannotBeSavedAgainAreDroppedSoThatTheNextSavesSucceed)
{
	files.save("highscores.lua", FileKeys::saveKey(),
		"level_1 = { score = 900, stars = 2 }\n"
		"level_2 = { score = 17700, stars = 1 }\nlevel_2.me = level_2\n"
		"local shared = {} for i = 1, 14 do shared = { a = shared, b = shared } end\n"
		"level_3 = { score = 10, stars = 1, shared = shared }\n");
	files.save("settings.lua", FileKeys::saveKey(),
		"local function chain(tables) local t = {} for i = 2, tables do t = { t } end return t end\n"
		"volume = 0.5 kept = chain(63) nested = chain(64)\n");
	lang::Ptr<GameLua> second;
	const Output output = capture([&] { second = new GameLua(&app, res->getResources(), lua, &context); });
	expectDroppedEntries(output.debug, {
		{"level_2 of save file highscores.lua", "it cannot be saved: Table nested deeper than 64 levels (does it contain itself?)"},
		{"level_3 of save file highscores.lua", "it cannot be saved: its text is longer than the 1048576 bytes a save may hold"},
		{"nested of save file settings.lua", "it cannot be saved: Table nested deeper than 64 levels (does it contain itself?)"},
	});

	EXPECT_NO_THROW(second->saveLuaFile("highscores.lua", "highscores", true));
	const Output saved = capture([&] { second = nullptr; });
	EXPECT_EQ(std::string::npos, saved.debug.find("Unable to save")) << saved.debug;
	const lua::LuaTable highscores = world->loadPersistentFile("highscores.lua");
	EXPECT_EQ(1, highscores.size());
	EXPECT_EQ(900.0f, highscores.getTable("level_1").getNumber("score"));
	const lua::LuaTable settings = world->loadPersistentFile("settings.lua");
	EXPECT_EQ(0.5f, settings.getNumber("volume"));
	EXPECT_TRUE(settings.isTable("kept"));
	EXPECT_FALSE(settings.isTable("nested"));
}

// The save budget leaves room for far more levels than the game has: the game's own writer's
// text of ten thousand high scores reads back whole.
TEST_F(GameLuaFiles, TheHighScoresOfTenThousandLevelsReadWithinTheSaveBudget)
{
	run("world.progress = {} for i = 1, 10000 do world.progress['level_' .. i] = { score = 100000 + i, stars = 3 } end");
	run("world.saveLuaFile('progress.lua', 'progress', true)");
	EXPECT_GT(EncipheredFile::MAX_SAVE_BYTES, static_cast<int>(std::filesystem::file_size(files.documentsFile("progress.lua"))));
	const Output output = capture([&] { EXPECT_EQ(10000, world->loadPersistentFile("progress.lua").size()); });
	EXPECT_EQ("", output.debug);
}

// While it lives, the test's thread may not open a file past its mode even as root, the way the
// player's own account may not: the rights to override a file's mode are out of its effective
// set (they stay permitted, and come back when it goes).
class NoModeOverride
{
public:
	NoModeOverride() : m_header{_LINUX_CAPABILITY_VERSION_3, 0}, m_saved{}, m_dropped(false)
	{
		if (geteuid() != 0 || syscall(SYS_capget, &m_header, m_saved) != 0)
			return;
		__user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
		reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
		m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
	}
	~NoModeOverride()
	{
		if (m_dropped)
			syscall(SYS_capset, &m_header, m_saved);
	}
	NoModeOverride(const NoModeOverride&) = delete;
	NoModeOverride& operator=(const NoModeOverride&) = delete;

private:
	__user_cap_header_struct m_header;
	__user_cap_data_struct m_saved[2];
	bool m_dropped;
};

// A high-score file that cannot be opened costs neither the start nor what it held: the log gives
// the system's reason, the file is set aside under a free name that says so, and the next save
// makes a new file that its owner can read and write. Each kind of file below fails to open for
// root as well; the one of mode 000 does so while the rights to override modes are dropped, and
// is passed over where they cannot be.
TEST_F(GameLuaFiles, AHighScoreFileThatCannotBeOpenedIsSetAsideAndTheNextSaveIsReadable)
{
	const std::string path = files.documentsFile("highscores.lua");
	const std::string held = WorldFiles::encipher(FileKeys::saveKey(), "level_2 = { score = 700, stars = 2 }\n");
	const struct
	{
		const char* kind;
		const char* reason;
		void (*make)(const std::string& path, const std::string& held);
	} kinds[] = {
		{"a file of mode 000", "Permission denied", [](const std::string& p, const std::string& h) {
			iotest::writeFile(p, h);
			std::filesystem::permissions(p, std::filesystem::perms::none);
		}},
		{"a folder", "Is a directory", [](const std::string& p, const std::string& h) {
			std::filesystem::create_directory(p);
			iotest::writeFile(p + "/inside", h);
		}},
		{"a link to itself", "Too many levels of symbolic links", [](const std::string& p, const std::string&) {
			std::filesystem::create_symlink(p, p);
		}},
		{"a pipe", "it is no regular file", [](const std::string& p, const std::string&) { mkfifo(p.c_str(), 0600); }},
	};
	std::vector<std::string> asides;
	for (const auto& kind : kinds)
	{
		const NoModeOverride noOverride;
		std::filesystem::remove(path);
		kind.make(path, held);
		if (std::string(kind.reason) == "Permission denied" && std::ifstream(path).is_open())
		{
			std::printf("%s opens all the same (the rights to override its mode cannot be dropped): passed over\n", kind.kind);
			continue;
		}
		lang::Ptr<GameLua> second;
		const Output output = capture([&] { second = new GameLua(&app, res->getResources(), lua, &context); });
		const std::string aside = path + ".unreadable" + (asides.empty() ? "" : "." + std::to_string(asides.size()));
		const std::string lines[] = {
			std::string("Save file highscores.lua cannot be read (") + kind.reason + "); its progress starts over\n",
			"Save file highscores.lua set aside as " + aside + "; the next save starts a new file\n",
		};
		for (const std::string& line : lines)
			EXPECT_NE(std::string::npos, output.debug.find(line)) << kind.kind << ": " << line << output.debug;
		EXPECT_EQ(0, second->getTable("highscores").size()) << kind.kind;
		asides.push_back(aside);

		lua::LuaTable entry(lua);
		entry.setNumber("score", 900.0f);
		entry.setNumber("stars", 3.0f);
		second->getTable("highscores").setTable("level_1", entry);
		second->saveLuaFile("highscores.lua", "highscores", true);
		second = nullptr;
		const std::filesystem::perms owner = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
		EXPECT_EQ(owner, std::filesystem::status(path).permissions() & owner) << kind.kind;
		EXPECT_EQ(900.0f, world->loadPersistentFile("highscores.lua").getTable("level_1").getNumber("score")) << kind.kind;
	}
	// Every file set aside is still there, none replaced by a later one; the first kept its bytes.
	for (const std::string& aside : asides)
		EXPECT_TRUE(std::filesystem::is_symlink(aside) || std::filesystem::exists(aside)) << aside;
	std::filesystem::permissions(asides.front(), std::filesystem::perms::owner_read);
	const std::string first = std::filesystem::is_directory(asides.front()) ? asides.front() + "/inside" : asides.front();
	EXPECT_EQ(held, iotest::readFile(first));
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
