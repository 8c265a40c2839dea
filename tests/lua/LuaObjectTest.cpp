#include "ScriptRunner.h"

#include <gtest/gtest.h>
#include <io/IOException.h>
#include <lang/Debug.h>
#include <lang/Format.h>
#include <lua/LuaException.h>
#include <lua/LuaObject.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>

#include <lauxlib.h>
#include <memory>
#include <stdexcept>
#include <string>

using lang::String;
using lua::LuaState;

namespace {

std::string describe(float value)
{
	char text[32];
	std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
	return text;
}

std::string describe(bool value) { return value ? "true" : "false"; }
std::string describe(const String& value) { return std::string("'") + value.c_str() + "'"; }

// Publishes members of every signature shape that bound methods use; each records its
// arguments in the log.
class Recorder : public lua::LuaObject
{
public:
	explicit Recorder(LuaState* state) : lua::LuaObject(state)
	{
		registerMethod("none", this, &Recorder::record<>);
		registerMethod("f", this, &Recorder::record<float>);
		registerMethod("ff", this, &Recorder::record<float, float>);
		registerMethod("fff", this, &Recorder::record<float, float, float>);
		registerMethod("ffff", this, &Recorder::record<float, float, float, float>);
		registerMethod("f9", this, &Recorder::record<float, float, float, float, float, float, float, float, float>);
		registerMethod("f8b", this, &Recorder::record<float, float, float, float, float, float, float, float, bool>);
		registerMethod("b", this, &Recorder::record<bool>);
		registerMethod("s", this, &Recorder::record<String>);
		registerMethod("sb", this, &Recorder::record<String, bool>);
		registerMethod("ss", this, &Recorder::record<String, String>);
		registerMethod("sss", this, &Recorder::record<String, String, String>);
		registerMethod("ssb", this, &Recorder::record<String, String, bool>);
		registerMethod("ssf", this, &Recorder::record<String, String, float>);
		registerMethod("sf", this, &Recorder::record<String, float>);
		registerMethod("sff", this, &Recorder::record<String, float, float>);
		registerMethod("sffff", this, &Recorder::record<String, float, float, float, float>);
		registerMethod("sffffb", this, &Recorder::record<String, float, float, float, float, bool>);
		registerMethod("sf6", this, &Recorder::record<String, float, float, float, float, float, float>);
		registerMethod("ssf7b", this,
			&Recorder::record<String, String, float, float, float, float, float, float, float, bool>);
		registerMethod("ssf6bbf", this,
			&Recorder::record<String, String, float, float, float, float, float, float, bool, bool, float>);
		registerMethod("ssf7bbf", this,
			&Recorder::record<String, String, float, float, float, float, float, float, float, bool, bool, float>);
		registerMethod("isReady", this, &Recorder::isReady);
		registerMethod("exists", this, &Recorder::exists);
		registerMethod("lengthOf", this, &Recorder::lengthOf);
		registerMethod("echo", this, &Recorder::echo);
		registerLuaMethod("pair", this, &Recorder::pair);
	}

	template <class... A>
	void record(A... arguments)
	{
		log.clear();
		((log += describe(arguments) + " "), ...);
	}

	bool isReady() { return true; }
	bool exists(String name) { return name == String("here"); }
	float lengthOf(String text) { return static_cast<float>(text.length()); }
	String echo(String text) { return text; }
	// Pushes its own two results: the number argument doubled and a string.
	int pair(LuaState* state)
	{
		state->pushNumber(state->toNumber(1) * 2.0f);
		state->pushString("two");
		return 2;
	}

	std::string log;
};

class LuaObjectTest : public ::testing::Test
{
protected:
	LuaObjectTest() : recorder(new Recorder(&state))
	{
		state.globals().setTable("obj", *recorder);
	}

	LuaState state;
	std::unique_ptr<Recorder> recorder;
};

struct DispatchCase
{
	const char* call;
	const char* log;
};

TEST_F(LuaObjectTest, EverySignatureShapeReceivesItsArguments)
{
	const DispatchCase cases[] = {
		{"obj.none()", ""},
		{"obj.f(1.5)", "1.5 "},
		{"obj.ff(1, 2)", "1 2 "},
		{"obj.fff(1, 2, 3)", "1 2 3 "},
		{"obj.ffff(1, 2, 3, 4)", "1 2 3 4 "},
		{"obj.f9(1, 2, 3, 4, 5, 6, 7, 8, 9)", "1 2 3 4 5 6 7 8 9 "},
		{"obj.f8b(1, 2, 3, 4, 5, 6, 7, 8, true)", "1 2 3 4 5 6 7 8 true "},
		{"obj.b(false)", "false "},
		{"obj.s('a')", "'a' "},
		{"obj.sb('a', true)", "'a' true "},
		{"obj.ss('a', 'b')", "'a' 'b' "},
		{"obj.sss('a', 'b', 'c')", "'a' 'b' 'c' "},
		{"obj.ssb('a', 'b', false)", "'a' 'b' false "},
		{"obj.ssf('a', 'b', -1)", "'a' 'b' -1 "},
		{"obj.sf('a', 0.25)", "'a' 0.25 "},
		{"obj.sff('box', 10, 20)", "'box' 10 20 "},
		{"obj.sffff('a', 1, 2, 3, 4)", "'a' 1 2 3 4 "},
		{"obj.sffffb('a', 1, 2, 3, 4, true)", "'a' 1 2 3 4 true "},
		{"obj.sf6('a', 1, 2, 3, 4, 5, 6)", "'a' 1 2 3 4 5 6 "},
		{"obj.ssf7b('a', 'b', 1, 2, 3, 4, 5, 6, 7, true)", "'a' 'b' 1 2 3 4 5 6 7 true "},
		{"obj.ssf6bbf('a', 'b', 1, 2, 3, 4, 5, 6, true, false, 9)", "'a' 'b' 1 2 3 4 5 6 true false 9 "},
		{"obj.ssf7bbf('a', 'b', 1, 2, 3, 4, 5, 6, 7, false, true, 10)", "'a' 'b' 1 2 3 4 5 6 7 false true 10 "},
		// Extra arguments are ignored; text is cut at a zero byte.
		{"obj.ff(1, 2, 3, 'extra')", "1 2 "},
		{"obj.s('cut\\0here')", "'cut' "},
	};
	for (const DispatchCase& c : cases)
	{
		recorder->log = "not called";
		runScript(state, c.call);
		EXPECT_EQ(recorder->log, c.log) << c.call;
	}
}

TEST_F(LuaObjectTest, ResultsArePushedByType)
{
	runScript(state,
		"ready = obj.isReady()\n"
		"found, missing = obj.exists('here'), obj.exists('there')\n"
		"length = obj.lengthOf('four')\n"
		"echoed = obj.echo('back')\n"
		"nothing = select('#', obj.none())\n"
		"doubled, word = obj.pair(21)\n");
	lua::LuaTable& globals = state.globals();
	EXPECT_TRUE(globals.getBoolean("ready"));
	EXPECT_TRUE(globals.getBoolean("found"));
	EXPECT_FALSE(globals.getBoolean("missing"));
	EXPECT_EQ(globals.getNumber("length"), 4.0f);
	EXPECT_STREQ(globals.getString("echoed").c_str(), "back");
	EXPECT_EQ(globals.getNumber("nothing"), 0.0f);
	EXPECT_EQ(globals.getNumber("doubled"), 42.0f);
	EXPECT_STREQ(globals.getString("word").c_str(), "two");
}

TEST_F(LuaObjectTest, WrongArgumentsFailWithTheTypeMessage)
{
	const std::pair<const char*, const char*> cases[] = {
		{"obj.ff(1)", "Excepted type NUMBER at stack position 2 but found INVALID\nCall stack:\ntest(1)\n(end)\n"},
		{"obj:ff(1, 2)", "Excepted type NUMBER at stack position 1 but found TABLE\nCall stack:\ntest(1)\n(end)\n"},
		{"obj.sff('a', '5', 1)", "Excepted type NUMBER at stack position 2 but found STRING\nCall stack:\ntest(1)\n(end)\n"},
		{"obj.s(5)", "Excepted type STRING at stack position 1 but found NUMBER\nCall stack:\ntest(1)\n(end)\n"},
		{"\nobj.b(nil)", "Excepted type BOOLEAN at stack position 1 but found NIL\nCall stack:\ntest(2)\n(end)\n"},
		{"obj.pair('x')", "Excepted type NUMBER at stack position 1 but found STRING\nCall stack:\ntest(1)\n(end)\n"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(scriptError(state, c.first), c.second) << c.first;
}

TEST_F(LuaObjectTest, TableHoldsObjectGlobalsAndItself)
{
	runScript(state, "ok = obj.this == obj and obj._G == _G and type(obj[0]) == 'userdata'");
	EXPECT_TRUE(state.globals().getBoolean("ok"));
}

TEST_F(LuaObjectTest, CallsFunctionsDefinedInTheObjectsTable)
{
	runScript(state,
		"function update(dt, time) total = dt + time end\n"
		"function collide(a, b, force, hard) described = a .. b .. force .. (hard and 'true' or 'false') end\n",
		recorder.get());
	recorder->call<float, float>("update", 1.5f, 2.0f);
	EXPECT_EQ(recorder->getNumber("total"), 3.5f);
	recorder->call<String, const char*, float, bool>("collide", String("x"), "y", 3.0f, true);
	EXPECT_STREQ(recorder->getString("described").c_str(), "xy3true");
}

TEST_F(LuaObjectTest, CallOfAMissingFunctionThrowsAndKeepsTheStack)
{
	const int top = state.top();
	try
	{
		recorder->call<float, float>("update", 1.0f, 2.0f);
		FAIL() << "no exception";
	}
	catch (const lua::LuaException& e)
	{
		EXPECT_STREQ(e.getMessage().format().c_str(), "attempt to call a nil value (call stack not available)");
	}
	EXPECT_EQ(state.top(), top);
}

// Publishes members that fail and that run chunks of their own.
class Thrower : public lua::LuaObject
{
public:
	explicit Thrower(LuaState* state) : lua::LuaObject(state)
	{
		registerMethod("ioFailure", this, &Thrower::ioFailure);
		registerMethod("stdFailure", this, &Thrower::stdFailure);
		registerMethod("runCaught", this, &Thrower::runCaught);
		registerMethod("runUncaught", this, &Thrower::runUncaught);
		registerLuaMethod("luaError", this, &Thrower::luaError);
	}

	// Raises a Lua error through the interpreter's own API.
	int luaError(LuaState* state) { return luaL_error(state->interpreter(), "raised by %s", "the method"); }

	void ioFailure() { lang::throwError(io::IOException(lang::Format("disk {0} failed", "d1"))); }
	void stdFailure() { throw std::runtime_error("standard"); }
	// Runs a failing chunk and carries on.
	void runCaught(String script)
	{
		try
		{
			runScript(*state(), script.c_str(), nullptr, "nested");
		}
		catch (const lang::Throwable&)
		{
			++caught;
		}
	}
	void runUncaught(String script) { runScript(*state(), script.c_str(), nullptr, "nested"); }

	int caught = 0;
};

class LuaObjectFailureTest : public ::testing::Test
{
protected:
	LuaObjectFailureTest() : thrower(new Thrower(&state))
	{
		state.globals().setTable("obj", *thrower);
	}

	LuaState state;
	std::unique_ptr<Thrower> thrower;
};

TEST_F(LuaObjectFailureTest, MethodExceptionsArriveWithTheirType)
{
	try
	{
		runScript(state, "local function f() obj.ioFailure() end\nf()");
		FAIL() << "no exception";
	}
	catch (const io::IOException& e)
	{
		EXPECT_STREQ(e.getMessage().format().c_str(), "disk d1 failed");
	}
	EXPECT_THROW(runScript(state, "obj.stdFailure()"), std::runtime_error);
	// Passed on by a script between two boundaries.
	EXPECT_THROW(runScript(state, "obj.runUncaught('obj.ioFailure()')"), io::IOException);

	// A script may catch it; then it sees the message.
	runScript(state, "ok, message = pcall(obj.ioFailure)");
	EXPECT_FALSE(state.globals().getBoolean("ok"));
	EXPECT_STREQ(state.globals().getString("message").c_str(), "disk d1 failed");
}

// For callers that go on after a script error: the error's text comes back and no exception is
// made for it (the debug log shows every one made); a bound method's exception arrives as itself.
TEST_F(LuaObjectFailureTest, TryCallReturnsScriptErrorsWithoutMakingAnException)
{
	runScript(state,
		"function broken() _G.error('broken') end\n"
		"function indexesNil() local t = nil return t.x end\n"
		"function works() worked = true end\n"
		"function fails() ioFailure() end\n", thrower.get());
	const struct
	{
		const char* name;
		const char* error;
	} failing[] = {
		{"missing", "attempt to call a nil value (call stack not available)"},
		{"broken", "broken\nCall stack:\ntest(1)\n(end)\n"},
		{"indexesNil", "[string \"test\"]:2: attempt to index local 't' (a nil value) (call stack not available)"},
	};
	const int top = state.top();
	String error;
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	for (const auto& f : failing)
	{
		EXPECT_FALSE(thrower->tryCall(f.name, error)) << f.name;
		EXPECT_STREQ(f.error, error.c_str());
	}
	EXPECT_TRUE(thrower->tryCall("works", error));
	lang::Debug::setEnabled(false);
	EXPECT_EQ("", testing::internal::GetCapturedStderr());
	EXPECT_TRUE(thrower->getBoolean("worked"));
	EXPECT_THROW(thrower->tryCall("fails", error), io::IOException);
	EXPECT_EQ(top, state.top());
}

TEST_F(LuaObjectFailureTest, LuaErrorsOfAMethodPassThroughTheDispatcher)
{
	EXPECT_EQ(scriptError(state, "obj.luaError()"), "[string \"test\"]:1: raised by the method (call stack not available)");
	runScript(state, "ok, message = pcall(obj.luaError)");
	EXPECT_STREQ(state.globals().getString("message").c_str(), "raised by the method");
}

// Errors caught in C++ while scripts run must leave the scripts' frames intact.
TEST_F(LuaObjectFailureTest, NestedCaughtErrorsLeaveTheCallerIntact)
{
	const char* failing[] = {
		"error('nested')",
		"local t = nil; t.x = 1",
		"obj.ioFailure()",
		"x = = 1",
	};
	for (const char* script : failing)
	{
		thrower->caught = 0;
		state.globals().setString("failing", script);
		runScript(state,
			"local a, b, c = 1, 2, 3\n"
			"local function inner() obj.runCaught(failing); return a + b * 10 end\n"
			"result = inner() + c * 100\n");
		EXPECT_EQ(thrower->caught, 1) << script;
		EXPECT_EQ(state.globals().getNumber("result"), 321.0f) << script;
	}
}

// LuaState::setTable honours metamethods, so a script can fail outside every protected call.
TEST_F(LuaObjectFailureTest, ErrorsOfMetamethodsRunFromOutsideAScript)
{
	const auto setGlobal = [this] {
		lua::LuaStackRestore restore(&state);
		state.pushString("key");
		state.pushNumber(1.0f);
		state.setTable(LUA_GLOBALSINDEX);
	};
	runScript(state, "setmetatable(_G, {__newindex = function() error('locked') end})");
	try
	{
		setGlobal();
		FAIL() << "no exception";
	}
	catch (const lua::LuaException& e)
	{
		EXPECT_STREQ(e.getMessage().format().c_str(), "locked\nCall stack:\ntest(1)\n(end)\n");
	}
	runScript(state, "setmetatable(_G, {__newindex = function() obj.ioFailure() end})");
	EXPECT_THROW(setGlobal(), io::IOException);
	runScript(state, "setmetatable(_G, {__newindex = function() local t = nil; t.x = 1 end})");
	EXPECT_THROW(setGlobal(), lua::LuaException);

	const int top = state.top();
	runScript(state, "setmetatable(_G, nil)\nresult = 6 * 7");
	EXPECT_EQ(state.globals().getNumber("result"), 42.0f);
	EXPECT_EQ(state.top(), top);
}

TEST_F(LuaObjectFailureTest, StateStaysUsableAfterManyMethodFailures)
{
	for (int i = 0; i < 300; ++i)
	{
		EXPECT_THROW(runScript(state, "obj.ioFailure()"), io::IOException);
		EXPECT_THROW(runScript(state, "obj.runUncaught('local t = nil; t.x = 1')"), lua::LuaException);
	}
	runScript(state, "result = 6 * 7");
	EXPECT_EQ(state.globals().getNumber("result"), 42.0f);
}

TEST(LuaObjectLifetime, MethodsOfADestroyedObjectRaiseAScriptError)
{
	LuaState state;
	auto recorder = std::make_unique<Recorder>(&state);
	state.globals().setTable("obj", *recorder);
	runScript(state, "held, table = obj.ff, obj");
	recorder.reset();

	const std::string message = scriptError(state, "held(1, 2)");
	EXPECT_EQ(message, "Called a method of a destroyed object\nCall stack:\ntest(1)\n(end)\n");
	runScript(state, "gone = table[0] == nil");
	EXPECT_TRUE(state.globals().getBoolean("gone"));
}

TEST_F(LuaObjectTest, MethodsWorkInCoroutines)
{
	runScript(state,
		"local co = coroutine.wrap(function(a)\n"
		"  obj.sff('co', a, a + 1)\n"
		"  local doubled = obj.pair(a)\n"
		"  coroutine.yield(doubled)\n"
		"end)\n"
		"result = co(7)\n");
	EXPECT_EQ(recorder->log, "'co' 7 8 ");
	EXPECT_EQ(state.globals().getNumber("result"), 14.0f);
	const std::string message = scriptError(state, "coroutine.wrap(function() obj.ff(1) end)()");
	EXPECT_NE(message.find("Excepted type NUMBER at stack position 2 but found INVALID"), std::string::npos) << message;
}

struct Shape : lua::LuaObject
{
	explicit Shape(LuaState* state) : lua::LuaObject(state) {}
	virtual void hit(float) { name = "shape"; }
	std::string name;
};

struct Circle : Shape
{
	explicit Circle(LuaState* state) : Shape(state) {}
	void hit(float) override { name = "circle"; }
};

TEST(LuaObjectVirtual, VirtualMemberCallsTheOverride)
{
	LuaState state;
	Circle circle(&state);
	circle.registerMethod("hit", static_cast<Shape*>(&circle), &Shape::hit);
	state.globals().setTable("circle", circle);
	runScript(state, "circle.hit(1)");
	EXPECT_EQ(circle.name, "circle");
}

} // namespace
