#include "ScriptRunner.h"

#include <gtest/gtest.h>
#include <io/ByteArrayInputStream.h>
#include <io/IOException.h>
#include <lang/Format.h>
#include <lua/LuaException.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>

#include <cstdlib>

using lua::LuaState;

namespace {

struct ErrorCase
{
	const char* script;
	std::string message;
};

class LuaStateTest : public ::testing::Test
{
protected:
	LuaState state;

	// The value of an expression, as tostring writes it.
	std::string valueOf(const char* expression)
	{
		runScript(state, (std::string("result = tostring(") + expression + ")").c_str());
		return state.globals().getString("result").c_str();
	}
};

// An expression and the text of its value.
struct ValueCase
{
	const char* expression;
	const char* value;
};

TEST_F(LuaStateTest, ScriptErrorsCarryTheirCallStack)
{
	const std::string deep = "deep\nCall stack:\ntest(2)\n" + [] {
		std::string lines;
		for (int i = 0; i < 9; ++i)
			lines += "test(3)\n";
		return lines;
	}() + "(end)\n";
	const ErrorCase cases[] = {
		{"local function a() error('boom') end\n"
		 "local function b() a() end\n"
		 "local function c() b() end\n"
		 "c()\n",
			"boom\nCall stack:\ntest(1)\ntest(2)\ntest(3)\ntest(4)\n(end)\n"},
		// At most 10 levels are listed.
		{"local function r(n)\n"
		 "  if n == 0 then error('deep') end\n"
		 "  r(n - 1)\n"
		 "end\n"
		 "r(20)\n",
			deep},
		// The message is text, not a template.
		{"error('a {0} b {')", "a {0} b {\nCall stack:\ntest(1)\n(end)\n"},
		// The top value is the message: with a level argument, the level.
		{"error('msg', 2)", "2\nCall stack:\ntest(1)\n(end)\n"},
		{"error()", "(error object is a nil value)\nCall stack:\ntest(1)\n(end)\n"},
		// Cut to 1999 bytes; no call stack fits after it.
		{"error(string.rep('x', 3000))", std::string(1999, 'x')},
		// Raised inside the interpreter.
		{"local t = nil\nlocal x = t.field",
			"[string \"test\"]:2: attempt to index local 't' (a nil value) (call stack not available)"},
		{"undefinedFunction()",
			"[string \"test\"]:1: attempt to call global 'undefinedFunction' (a nil value) (call stack not available)"},
	};
	for (const ErrorCase& c : cases)
	{
		const int top = state.top();
		EXPECT_EQ(scriptError(state, c.script), c.message) << c.script;
		EXPECT_EQ(state.top(), top) << c.script;
	}
}

TEST_F(LuaStateTest, CompileErrorNamesTheChunk)
{
	const std::string message = scriptError(state, "x = = 1");
	EXPECT_EQ(message.rfind("Error while compiling Lua: [string \"test\"]:1:", 0), 0u) << message;
}

TEST_F(LuaStateTest, ScriptsCanCatchErrorsWithPcall)
{
	runScript(state, "ok, message = pcall(error, 'caught')");
	EXPECT_FALSE(state.globals().getBoolean("ok"));
	EXPECT_EQ(state.globals().getString("message").c_str(), std::string("caught\nCall stack:\n=[C](-1)\ntest(1)\n(end)\n"));
}

// Errors must leave the interpreter usable: hundreds of them, then a correct script.
TEST_F(LuaStateTest, StateStaysUsableAfterManyErrors)
{
	const int top = state.top();
	for (int i = 0; i < 300; ++i)
	{
		EXPECT_THROW(runScript(state, "local function f() error('again') end f()"), lua::LuaException);
		EXPECT_THROW(runScript(state, "local t = nil; t.x = 1"), lua::LuaException);
	}
	runScript(state, "local function add(a, b) return a + b end\nresult = add(20, 22)");
	EXPECT_EQ(state.globals().getNumber("result"), 42.0f);
	EXPECT_EQ(state.top(), top);
}

TEST_F(LuaStateTest, ExactConversionsRejectWhatLenientTestsAccept)
{
	lua::LuaStackRestore restore(&state);
	state.pushString("5");
	EXPECT_TRUE(state.isNumber(-1));
	EXPECT_TRUE(state.isString(-1));
	try
	{
		state.toNumber(-1);
		FAIL() << "a numeric string converted to a number";
	}
	catch (const lua::LuaException& e)
	{
		EXPECT_STREQ(e.getMessage().format().c_str(),
			"Excepted type NUMBER at stack position -1 but found STRING (call stack not available)");
	}

	state.pushNumber(5.0f);
	EXPECT_TRUE(state.isString(-1));
	EXPECT_THROW(state.toString(-1), lua::LuaException);
	EXPECT_EQ(state.toNumber(-1), 5.0f);

	state.pushNil();
	EXPECT_THROW(state.toBoolean(-1), lua::LuaException);
	state.pushBoolean(false);
	EXPECT_FALSE(state.toBoolean(-1));
	EXPECT_THROW(state.toTable(-1), lua::LuaException);
	EXPECT_EQ(state.type(state.top() + 1), LuaState::INVALID);
}

TEST_F(LuaStateTest, TypeNames)
{
	const std::pair<LuaState::Type, const char*> names[] = {
		{LuaState::NIL, "NIL"}, {LuaState::BOOLEAN, "BOOLEAN"}, {LuaState::LIGHTUSERDATA, "LIGHTUSERDATA"},
		{LuaState::NUMBER, "NUMBER"}, {LuaState::STRING, "STRING"}, {LuaState::TABLE, "TABLE"},
		{LuaState::FUNCTION, "FUNCTION"}, {LuaState::USERDATA, "USERDATA"}, {LuaState::THREAD, "THREAD"},
		{LuaState::INVALID, "INVALID"}, {static_cast<LuaState::Type>(9), "INVALID"},
	};
	for (const auto& name : names)
		EXPECT_STREQ(LuaState::toString(name.first), name.second);
}

TEST_F(LuaStateTest, EnvironmentReceivesTheChunksGlobals)
{
	lua::LuaTable env(&state);
	runScript(state, "x = 5\nfunction f() return x end\ny = f()", &env);
	EXPECT_EQ(env.getNumber("x"), 5.0f);
	EXPECT_EQ(env.getNumber("y"), 5.0f);
	EXPECT_FALSE(state.globals().isNumber("x"));

	lua::LuaTable unbound;
	EXPECT_EQ(scriptError(state, "x = 1", &unbound),
		"Excepted type TABLE at stack position -1 but found NIL (call stack not available)");
}

TEST_F(LuaStateTest, EmptyChunkRunsWithoutEffect)
{
	const int top = state.top();
	runScript(state, "");
	EXPECT_EQ(state.top(), top);
}

TEST_F(LuaStateTest, NumbersAreFloatsPrintedWithSixDigits)
{
	runScript(state, "text = tostring(1/3) .. ' ' .. tostring(16777217) .. ' ' .. tostring(0.1)");
	EXPECT_STREQ(state.globals().getString("text").c_str(), "0.333333 1.67772e+07 0.1");
}

// Numbers reach the interpreter's integer work as keys, counts and library arguments; at and
// beyond the int and long limits, and as no number, each has a defined answer (the sanitizer
// build stops at any undefined one).
TEST_F(LuaStateTest, NumbersAtTheIntegerLimitsHaveDefinedResults)
{
	const ValueCase cases[] = {
		{"({[-2147483649] = 'low'})[-2147483648]", "low"},
		{"({[-2147483648] = 1, [2147483648] = 2, [1e30] = 3, [-1/0] = 4})[1e30]", "3"},
		{"(pcall(unpack, {}, -2147483648, 2147483520))", "false"},
		{"select('#', unpack({}, 2147483520, 2147483520))", "1"},
		{"(function() local x = math.random(-2147483648, 2147483520) return x >= -2147483648 and x <= 2147483520 end)()",
			"true"},
		// Integers beyond the range, and no number, become the lowest long: the character 0 ends
		// the text of %c.
		{"string.format('%d %x [%c]', 1e30, -1e30, 0/0)", "-9223372036854775808 8000000000000000 []"},
		{"string.format('%d', -7.9)", "-7"},
		// Times beyond time_t, and years beyond what the C library can represent, have no date.
		{"os.date('*t', 1e30)", "nil"},
		{"os.time({year = -2147483648, month = -2147483648, day = 1})", "nil"},
		{"os.difftime(1e30, -1e30)", "0"},
		// Across the last year of the C library's calendar: the years past INT_MAX are whole, and
		// later times have no date.
		{"(function() local dates, year = 0 for t = 6.775e16, 6.78e16, 1e10 do local d = os.date('!*t', t) "
		 "if d then dates, year = dates + 1, d.year end end return dates .. ' ' .. year end)()", "2100 2.14749e+09"},
	};
	for (const ValueCase& c : cases)
		EXPECT_EQ(c.value, valueOf(c.expression)) << c.expression;
}

// Scripts draw from the C library's rand() sequence. With float numbers its top values once
// scaled to 1, so that math.random(6) gave 7: each form of math.random draws such a value here.
TEST_F(LuaStateTest, RandomNumbersStayWithinTheirIntervals)
{
	// Draws of the sequence seeded with 1 before the first value that scales to 1 in float.
	const long limit = 1L << 28;
	std::srand(1);
	long before = 0;
	while (before < limit && static_cast<float>(std::rand() % RAND_MAX) / static_cast<float>(RAND_MAX) < 1.0f)
		++before;
	ASSERT_LT(before, limit);

	const ValueCase cases[] = {
		{"math.random() < 1", "true"},
		{"math.random(6)", "6"},
		{"math.random(-3, 3)", "3"},
		{"math.random(16777216) == 16777216", "true"},
		{"math.random(-2147483648, 2147483520) <= 2147483520", "true"},
	};
	for (const ValueCase& c : cases)
	{
		runScript(state, "math.randomseed(1)");
		for (long i = 0; i < before; ++i)
			std::rand();
		EXPECT_EQ(c.value, valueOf(c.expression)) << c.expression;
	}
}

TEST_F(LuaStateTest, DebugLibraryAndPopenAreUnavailable)
{
	runScript(state, "noDebug = debug == nil\nok, message = pcall(io.popen, 'true')");
	EXPECT_TRUE(state.globals().getBoolean("noDebug"));
	EXPECT_FALSE(state.globals().getBoolean("ok"));
}

// Bytes the interpreter may still allocate; negative for no limit.
long allocationBudget = -1;

void* budgetedAlloc(void*, void* block, size_t oldSize, size_t newSize)
{
	if (newSize == 0)
	{
		std::free(block);
		return nullptr;
	}
	if (allocationBudget >= 0 && newSize > oldSize)
	{
		if (static_cast<long>(newSize - oldSize) > allocationBudget)
			return nullptr;
		allocationBudget -= static_cast<long>(newSize - oldSize);
	}
	return std::realloc(block, newSize);
}

// Memory running out under a table operation, outside every script, reaches the panic handler.
TEST_F(LuaStateTest, OutOfMemoryOutsideAScriptThrows)
{
	lua_setallocf(state.interpreter(), budgetedAlloc, nullptr);
	allocationBudget = 0;
	for (int i = 0; i < 3; ++i)
	{
		try
		{
			lua::LuaTable table(&state);
			FAIL() << "allocated without memory";
		}
		catch (const lua::LuaException& e)
		{
			EXPECT_STREQ(e.getMessage().format().c_str(), "not enough memory (call stack not available)");
		}
	}
	allocationBudget = -1;
	runScript(state, "result = #string.rep('x', 42)");
	EXPECT_EQ(state.globals().getNumber("result"), 42.0f);
	EXPECT_EQ(state.top(), 0);
}

// A stream failure while a chunk is read arrives as itself.
TEST_F(LuaStateTest, StreamFailureWhileCompilingKeepsItsType)
{
	class FailingStream : public io::ByteArrayInputStream
	{
	public:
		int read(void*, int) override { lang::throwError(io::IOException(lang::Format("read failed"))); }
	};
	FailingStream in;
	const int top = state.top();
	EXPECT_THROW(state.compile(&in, 100, "failing", nullptr), io::IOException);
	EXPECT_EQ(state.top(), top);
}

} // namespace
