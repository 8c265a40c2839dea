#include "ScriptRunner.h"

#include <gtest/gtest.h>
#include <io/ByteArrayInputStream.h>
#include <io/ByteArrayOutputStream.h>
#include <lua/LuaCompileException.h>
#include <lua/LuaException.h>
#include <lua/LuaKey.h>
#include <lua/LuaObject.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>

#include <lauxlib.h>
#include <string>

using lua::LuaTable;

namespace {

class LuaTableTest : public ::testing::Test
{
protected:
	// The table that running text with it as environment builds.
	LuaTable tableFrom(const char* text)
	{
		LuaTable table(&state);
		runScript(state, text, &table);
		return table;
	}

	static std::string written(const LuaTable& table)
	{
		io::ByteArrayOutputStream out;
		table.write(&out, 0, false);
		return std::string(reinterpret_cast<const char*>(out.data()), static_cast<size_t>(out.size()));
	}

	static std::string messageOf(void (*action)(const LuaTable&), const LuaTable& table)
	{
		try
		{
			action(table);
		}
		catch (const lua::LuaException& e)
		{
			return e.getMessage().format().c_str();
		}
		return "no exception";
	}

	lua::LuaState state;
};

TEST_F(LuaTableTest, GettersAreExact)
{
	LuaTable table = tableFrom("n = 1.5; s = '7'; b = false; t = {}; list = {10, 20}");
	EXPECT_EQ(table.getNumber("n"), 1.5f);
	EXPECT_STREQ(table.getString("s").c_str(), "7");
	EXPECT_FALSE(table.getBoolean("b"));
	EXPECT_EQ(table.getTable("list").getNumber(2), 20.0f);
	EXPECT_TRUE(table.isNumber("s"));
	EXPECT_TRUE(table.isString("n"));
	EXPECT_TRUE(table.isTable("t"));
	EXPECT_TRUE(table.isBoolean("b"));

	const std::pair<void (*)(const LuaTable&), const char*> failures[] = {
		{[](const LuaTable& t) { t.getNumber("missing"); },
			"Tried to get value missing from table, but type was NIL instead of NUMBER"},
		{[](const LuaTable& t) { t.getNumber("s"); },
			"Tried to get value s from table, but type was STRING instead of NUMBER"},
		{[](const LuaTable& t) { t.getString("n"); },
			"Tried to get value n from table, but type was NUMBER instead of STRING"},
		{[](const LuaTable& t) { t.getTable(7); },
			"Tried to get value 7 from table, but type was NIL instead of TABLE"},
		{[](const LuaTable& t) { t.getBoolean("t"); },
			"Tried to get value t from table, but type was TABLE instead of BOOLEAN"},
	};
	const int top = state.top();
	for (const auto& failure : failures)
	{
		EXPECT_EQ(messageOf(failure.first, table), failure.second);
		EXPECT_EQ(state.top(), top);
	}
}

TEST_F(LuaTableTest, SettersAndHandles)
{
	LuaTable table(&state);
	table.setNumber("n", 2.0f);
	table.setNumber(1, 3.0f);
	table.setString("s", "text");
	table.setBoolean(lang::String("b"), true);
	LuaTable inner(&state);
	table.setTable("inner", inner);
	EXPECT_EQ(table.size(), 5);

	inner.setNumber("seen", 1.0f);
	EXPECT_EQ(table.getTable("inner").getNumber("seen"), 1.0f) << "handles of one table share it";

	table.setTable("inner", LuaTable());
	table.remove("s");
	EXPECT_FALSE(table.isTable("inner"));
	EXPECT_EQ(table.size(), 3);

	LuaTable* original = new LuaTable(table);
	LuaTable copy(*original);
	delete original;
	EXPECT_EQ(copy.getNumber("n"), 2.0f) << "a copy keeps its own reference";
	copy = copy;
	EXPECT_EQ(copy.getNumber(1), 3.0f);

	EXPECT_EQ(tableFrom("list = {1, 2, 3, a = 1, b = 2}").getTable("list").size(), 5);
	EXPECT_EQ(messageOf([](const LuaTable& t) { t.size(); }, LuaTable()),
		"Excepted type TABLE at stack position -2 but found NIL (call stack not available)");
}

TEST_F(LuaTableTest, KeysMadeOnceStoreUnderTheirText)
{
	LuaTable table(&state);
	{
		const lua::LuaKey x(&state, "x");
		const lua::LuaKey flag(&state, "flag");
		table.setNumber(x, 2.5f);
		table.setBoolean(flag, true);
		table.setNumber(x, 4.0f);
		state.globals().setTable("t", table);
		runScript(state, "collectgarbage() v = t.x");
		EXPECT_EQ(state.globals().getNumber("v"), 4.0f) << "the key outlives a collection";
		EXPECT_TRUE(table.getBoolean("flag"));
		EXPECT_EQ(table.size(), 2);

		lua::LuaState other;
		const lua::LuaKey foreign(&other, "x");
		const int top = state.top();
		EXPECT_THROW(table.setNumber(foreign, 1.0f), lua::LuaException);
		EXPECT_EQ(state.top(), top);
		EXPECT_EQ(table.getNumber("x"), 4.0f);
	}
	runScript(state, "collectgarbage()");
	EXPECT_EQ(table.getNumber("x"), 4.0f) << "a released key leaves the stored value";
}

struct WriteCase
{
	const char* script;
	const char* text;
};

TEST_F(LuaTableTest, WrittenText)
{
	const WriteCase cases[] = {
		{"v = 0.1", "v = 0.1\n"},
		{"v = 100000", "v = 100000\n"},
		{"v = 1000000", "v = 1e+06\n"},
		{"v = 1234567", "v = 1234567\n"},
		{"v = 2^24", "v = 16777216\n"},
		{"v = -0.5", "v = -0.5\n"},
		{"v = 1/0", "v = 1e999\n"},
		{"v = true", "v = true\n"},
		{"v = 'a\"b\\\\c\\nd\\re\\0f'", "v = \"a\\\"b\\\\c\\\nd\\re\\000f\"\n"},
		{"v = function() end", "v = nil\n"},
		{"v = {}", "v = {\n\n}\n"},
		{"levels = {a = 1}", "levels = {\n    a = 1,\n\n}\n"},
		{"v = {1, 'x', false}", "v = {\n    1,\"x\",false\n}\n"},
		{"v = {w = {1}}", "v = {\n    w = {\n        1\n    },\n\n}\n"},
		{"v = {10, x = 1}", "v = {\n    10,\n    x = 1,\n\n}\n"},
		{"v = {[3] = 100}", "v = {\n    [3] = 100,\n\n}\n"},
		{"v = {[0.5] = 1}", "v = {\n    [0.5] = 1,\n\n}\n"},
		{"v = {[true] = 1}", "v = {\n    [true] = 1,\n\n}\n"},
		{"v = {['a b'] = 1}", "v = {\n    [\"a b\"] = 1,\n\n}\n"},
		{"v = {['end'] = 1}", "v = {\n    [\"end\"] = 1,\n\n}\n"},
		{"v = {[{}] = 1}", "v = {\n\n}\n"},
		{"_G = {1}", ""},
		{"v = {_G = 1}", "v = {\n\n}\n"},
	};
	for (const WriteCase& c : cases)
		EXPECT_EQ(written(tableFrom(c.script)), c.text) << c.script;
}

TEST_F(LuaTableTest, WriteRefusesWhatCannotBeReadBack)
{
	const char* scripts[] = {
		"t = {}; t.self = t",
		"t = {{{}}}; t[1][1][1] = t",
	};
	for (const char* script : scripts)
		EXPECT_THROW(written(tableFrom(script)), lua::LuaException) << script;

	LuaTable positional(&state);
	positional.setNumber(1, 1.0f);
	EXPECT_THROW(written(positional), lua::LuaException);
	LuaTable spaced(&state);
	spaced.setNumber("a b", 1.0f);
	EXPECT_THROW(written(spaced), lua::LuaException);

	lua::LuaObject object(&state);
	EXPECT_THROW(written(object), lua::LuaException) << "an object's table holds itself under \"this\"";
	EXPECT_EQ(messageOf([](const LuaTable& t) { written(t); }, LuaTable()),
		"Excepted type TABLE at stack position -1 but found NIL (call stack not available)");
}

TEST_F(LuaTableTest, WriteThenReadGivesAnEqualTable)
{
	LuaTable original = tableFrom(
		"volume = 0.5\n"
		"audioEnabled = true\n"
		"name = 'quote \" backslash \\\\ newline \\n return \\r zero \\0 end'\n"
		"big = 1234567\n"
		"small = 1e-7\n"
		"negative = -3.25\n"
		"list = {1, 2, 3, 'x', false}\n"
		"sparse = {[3] = 100, [10] = 5}\n"
		"keys = {[0.5] = 'half', [true] = 'yes', ['with space'] = 1, ['end'] = 2, [-7] = 3}\n"
		"nested = {a = {b = {c = {1, 2}}}, 4}\n");
	const std::string text = written(original);
	io::ByteArrayInputStream in(text.data(), static_cast<int>(text.size()));
	LuaTable copy(&state);
	copy.read(&in);

	state.globals().setTable("original", original);
	state.globals().setTable("copy", copy);
	runScript(state,
		"local function equal(a, b)\n"
		"  if type(a) ~= type(b) then return false end\n"
		"  if type(a) ~= 'table' then return a == b end\n"
		"  for k, v in pairs(a) do if not equal(v, b[k]) then return false end end\n"
		"  for k in pairs(b) do if a[k] == nil then return false end end\n"
		"  return true\n"
		"end\n"
		"same = equal(original, copy)\n");
	EXPECT_TRUE(state.globals().getBoolean("same")) << text;
}

// A saved file runs with only its own table as environment.
TEST_F(LuaTableTest, ReadReachesNothingOfTheInterpreter)
{
	const LuaTable table = tableFrom("a = os\nb = io\nc = require\nd = print\ne = getfenv\nf = _G\ng = loadstring");
	EXPECT_EQ(table.size(), 0);
	const char* escapes[] = {"os.exit(3)", "io.open('/tmp/x', 'w')", "require('os')", "getfenv(0).os.exit(3)"};
	for (const char* escape : escapes)
		EXPECT_THROW(tableFrom(escape), lua::LuaException) << escape;

	// Crafted bytecode could reach past the environment: only source is read.
	runScript(state, "chunk = string.dump(function() dumped = 1 end)");
	lua::LuaStackRestore restore(&state);
	state.globals().pushMember("chunk");
	size_t length = 0;
	const char* bytes = lua_tolstring(state.interpreter(), -1, &length);
	io::ByteArrayInputStream precompiled(bytes, static_cast<int>(length));
	LuaTable target(&state);
	EXPECT_THROW(target.read(&precompiled), lua::LuaException);
	precompiled.seek(0, io::InputStream::SEEKMODE_START);
	state.compile(&precompiled, precompiled.available(), "precompiled", nullptr);
	EXPECT_EQ(state.globals().getNumber("dumped"), 1.0f) << "compile still runs precompiled chunks";
}

TEST_F(LuaTableTest, ReadKeepsAssignmentsMadeBeforeAFailure)
{
	LuaTable table(&state);
	EXPECT_THROW(runScript(state, "kept = 1\nerror('stop')\nlost = 2", &table), lua::LuaException);
	EXPECT_EQ(table.getNumber("kept"), 1.0f);
	EXPECT_FALSE(table.isNumber("lost"));
}

// A chunk from outside runs within its budget of instructions and memory, without the string
// library's methods, whose C functions no instruction count sees; compile errors keep the
// compiler's message. Chunks read without a budget, and scripts, are not held to it afterwards.
TEST_F(LuaTableTest, ABudgetedReadStopsAChunkThatRunsOrGrowsPastItAndLeavesTheRestUnbound)
{
	const LuaTable::Budget budget = {10000, 1 << 20, 1 << 20, 60 * 1000};
	const auto readWithin = [&](const std::string& text) {
		io::ByteArrayInputStream in(text.data(), static_cast<int>(text.size()));
		LuaTable table(&state);
		table.read(&in, "save", budget);
		return table;
	};
	const struct
	{
		const char* text;
		const char* message;
	} failures[] = {
		{"for i = 1, 1e7 do end", "save ran past its budget of 10000 instructions"},
		{"local s = 'x' for i = 1, 22 do s = s .. s end", "save took more than its budget of 1048576 bytes"},
		{"t = {} for i = 1, 1e5 do t[i] = i end", "save ran past its budget of 10000 instructions"},
		{"x = ('x'):rep(3)", "attempt to index a string value"},
	};
	for (const auto& failure : failures)
	{
		try
		{
			readWithin(failure.text);
			ADD_FAILURE() << failure.text << " was read";
		}
		catch (const lua::LuaException& e)
		{
			EXPECT_NE(std::string(e.getMessage().format().c_str()).find(failure.message), std::string::npos)
				<< failure.text << ": " << e.getMessage().format().c_str();
		}
	}
	try
	{
		readWithin("a = = 1");
		ADD_FAILURE() << "text that does not compile was read";
	}
	catch (const lua::LuaCompileException& e)
	{
		EXPECT_EQ(std::string(e.compilerMessage().c_str()).rfind("[string \"save\"]:1:", 0), 0u) << e.compilerMessage().c_str();
	}

	// Within the budget the chunk reads as without one, and a table of a thousand entries fits.
	std::string entries;
	for (int i = 0; i < 1000; ++i)
		entries += "level_" + std::to_string(i) + " = {\n    score = " + std::to_string(i * 100) + ",\n    stars = 3,\n\n}\n";
	EXPECT_EQ(readWithin(entries).getTable("level_999").getNumber("score"), 99900.0f);

	// The interpreter is as it was: no hook, its own allocator, string methods, no limit on scripts.
	EXPECT_EQ(lua_gethook(state.interpreter()), nullptr);
	runScript(state, "local s = 'x' for i = 1, 22 do s = s .. s end\n"
		"for i = 1, 100000 do end\n"
		"length, repeated = #s, ('x'):rep(3)");
	EXPECT_EQ(state.globals().getNumber("length"), 4194304.0f);
	EXPECT_STREQ(state.globals().getString("repeated").c_str(), "xxx");
	EXPECT_EQ(state.top(), 0);

	// A hook set before is set again afterwards.
	const lua_Hook counting = [](lua_State*, lua_Debug*) {};
	lua_sethook(state.interpreter(), counting, LUA_MASKCOUNT, 7);
	EXPECT_THROW(readWithin("while true do end"), lua::LuaException);
	EXPECT_EQ(lua_gethook(state.interpreter()), counting);
	EXPECT_EQ(lua_gethookcount(state.interpreter()), 7);
	lua_sethook(state.interpreter(), nullptr, 0, 0);
}

// One instruction that joins or compares long strings, or grows a table, takes time in proportion
// to them that no instruction count sees: a chunk is also held to the largest block it may ask
// for, and to a deadline on the clock that it is stopped at once past (here from the start).
TEST_F(LuaTableTest, ABudgetedReadStopsAChunkAtItsLargestBlockOrPastItsDeadline)
{
	const LuaTable::Budget smallBlocks = {10000000, 1 << 26, 1 << 16, 60 * 1000};
	const LuaTable::Budget noTime = {10000000, 1 << 26, 1 << 26, 0};
	const struct
	{
		const LuaTable::Budget& budget;
		const char* text;
		const char* message;
	} failures[] = {
		{smallBlocks, "local s = 'x' for i = 1, 17 do s = s .. s end", "save asked for a block of more than 65536 bytes"},
		{smallBlocks, "t = {} for i = 1, 5000 do t[i] = i end", "save asked for a block of more than 65536 bytes"},
		{noTime, "for i = 1, 1e5 do end", "save ran past its deadline of 0 ms"},
	};
	for (const auto& failure : failures)
	{
		const std::string text = failure.text;
		io::ByteArrayInputStream in(text.data(), static_cast<int>(text.size()));
		LuaTable table(&state);
		try
		{
			table.read(&in, "save", failure.budget);
			ADD_FAILURE() << failure.text << " was read";
		}
		catch (const lua::LuaException& e)
		{
			EXPECT_NE(std::string(e.getMessage().format().c_str()).find(failure.message), std::string::npos)
				<< failure.text << ": " << e.getMessage().format().c_str();
		}
	}
	// Blocks up to the largest are taken.
	const std::string within = "s = 'x' for i = 1, 15 do s = s .. s end t = {} for i = 1, 2000 do t[i] = i end";
	io::ByteArrayInputStream in(within.data(), static_cast<int>(within.size()));
	LuaTable table(&state);
	table.read(&in, "save", smallBlocks);
	EXPECT_EQ(table.getTable("t").getNumber(2000), 2000.0f);
}

} // namespace
