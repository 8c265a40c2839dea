#include <lua/LuaState.h>

#include <io/InputStream.h>
#include <lang/Format.h>
#include <lua/LuaCompileException.h>
#include <lua/LuaFunctor.h>
#include <lua/LuaStackRestore.h>

#include "ChunkBudget.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <lauxlib.h>
#include <lualib.h>
#include <optional>

namespace lua {

namespace {

// The registry slot of the owning LuaState: the first reference a fresh interpreter hands out.
// Every thread of the interpreter shares the registry, so native functions running in any
// coroutine find their state, and the slot lies in the registry's array part (no hashing).
constexpr int OWNER_REFERENCE = 1;
// Registry key, an address private to this file: the value of the last error raised with a
// finished text (see LuaState::raise).
const char pendingErrorKey = 0;

// Buffer sizes in bytes, terminator included.
constexpr int ERROR_TEXT_SIZE = 2000;
constexpr int TYPE_ERROR_STACK_SIZE = 1000;
constexpr int STACK_LINE_SIZE = 512;
constexpr int MAX_STACK_LEVELS = 10;
constexpr int CHUNK_BLOCK_SIZE = 2048;

const char NO_CALL_STACK[] = " (call stack not available)";

struct Library
{
	const char* name;
	lua_CFunction open;
};

// The debug library is not opened.
const Library libsToOpen[] = {
	{"", luaopen_base},
	{LUA_LOADLIBNAME, luaopen_package},
	{LUA_TABLIBNAME, luaopen_table},
	{LUA_IOLIBNAME, luaopen_io},
	{LUA_OSLIBNAME, luaopen_os},
	{LUA_STRLIBNAME, luaopen_string},
	{LUA_MATHLIBNAME, luaopen_math},
	{nullptr, nullptr},
};

// State of the chunk reader of compile. A failure of the stream is kept here, because an
// exception must not pass through the interpreter's parser.
struct ChunkReader
{
	io::InputStream* in;
	int remaining;
	// Refuse a precompiled chunk: crafted bytecode can reach past any environment.
	bool sourceOnly;
	bool started;
	std::exception_ptr failure;
	char block[CHUNK_BLOCK_SIZE];
};

// Appends text to the zero-terminated buffer while the text and the terminator fit.
void appendBounded(char* buffer, int size, const char* text)
{
	int length = static_cast<int>(std::strlen(buffer));
	while (*text && length + 1 < size)
		buffer[length++] = *text++;
	buffer[length] = 0;
}

// Appends the text of the error value on the top, or a description of a value that has none.
void appendErrorValue(char* buffer, int size, lua_State* lua)
{
	if (lua_gettop(lua) == 0)
		lua_pushnil(lua);
	const int index = lua_gettop(lua);
	if (const char* text = lua_tostring(lua, index))
	{
		appendBounded(buffer, size, text);
		return;
	}
	char description[64];
	std::snprintf(description, sizeof description, "(error object is a %s value)", luaL_typename(lua, index));
	appendBounded(buffer, size, description);
}

bool isPendingError(lua_State* lua, int index)
{
	if (lua_type(lua, index) != LUA_TSTRING)
		return false;
	const int value = index < 0 ? lua_gettop(lua) + index + 1 : index;
	lua_pushlightuserdata(lua, const_cast<char*>(&pendingErrorKey));
	lua_rawget(lua, LUA_REGISTRYINDEX);
	const bool same = lua_rawequal(lua, value, -1) != 0;
	lua_pop(lua, 1);
	return same;
}

} // namespace

LuaState::LuaState() :
	m_interpreter(luaL_newstate()),
	m_thread(m_interpreter),
	m_messageHandler(LUA_NOREF),
	m_callDepth(0)
{
	if (!m_interpreter)
		lang::throwError(LuaException(lang::Format("Failed to initialized Lua interpreter")));
	lua_State* lua = m_interpreter;
	try
	{
		lua_atpanic(lua, handlePanic);
		lua_pushlightuserdata(lua, this);
		if (luaL_ref(lua, LUA_REGISTRYINDEX) != OWNER_REFERENCE)
			lang::throwError(LuaException(lang::Format("Failed to initialized Lua interpreter")));
		lua_pushcfunction(lua, handleMessage);
		m_messageHandler = luaL_ref(lua, LUA_REGISTRYINDEX);

		for (const Library* library = libsToOpen; library->open; ++library)
		{
			lua_pushcfunction(lua, library->open);
			lua_pushstring(lua, library->name);
			call(1, 0);
		}

		lua_pushstring(lua, "error");
		lua_pushlightuserdata(lua, this);
		lua_pushcclosure(lua, handleError, 1);
		lua_settable(lua, LUA_GLOBALSINDEX);

		m_globals = toTable(LUA_GLOBALSINDEX);
	}
	catch (...)
	{
		lua_close(lua);
		throw;
	}
}

LuaState::~LuaState()
{
	m_globals = LuaTable();
	lua_close(m_interpreter);
}

void LuaState::call(int nargs, int nresults)
{
	lang::String error;
	if (!tryCall(nargs, nresults, error))
		lang::throwError(LuaException(lang::Format("{0}", error)));
}

bool LuaState::tryCall(int nargs, int nresults, lang::String& error)
{
	lua_State* lua = m_thread;
	const int handler = lua_gettop(lua) - nargs;
	lua_rawgeti(lua, LUA_REGISTRYINDEX, m_messageHandler);
	lua_insert(lua, handler);
	++m_callDepth;
	const int status = lua_pcall(lua, nargs, nresults, handler);
	--m_callDepth;
	lua_remove(lua, handler);
	if (status == 0)
	{
		if (m_callDepth == 0 && m_pendingFailure)
			clearPendingFailure();
		return true;
	}
	std::exception_ptr failure;
	error = takeError(lua, false, failure);
	if (failure)
		std::rethrow_exception(failure);
	return false;
}

void LuaState::compile(io::InputStream* in, int size, const lang::String& name, LuaTable* env)
{
	load(in, size, name, env, false, nullptr);
}

void LuaState::load(io::InputStream* in, int size, const lang::String& name, LuaTable* env, bool sourceOnly,
	const LuaTable::Budget* budget)
{
	LuaStackRestore restore(m_thread);
	std::optional<ChunkBudget> limits;
	if (budget)
		limits.emplace(m_thread, *budget);
	try
	{
		ChunkReader reader{in, size, sourceOnly, false, nullptr, {}};
		const int result = lua_load(m_thread, loadFile, &reader, name.c_str());
		if (reader.failure)
			std::rethrow_exception(reader.failure);
		handleLoadResult(result, name, env);
	}
	catch (const LuaException&)
	{
		// The interpreter's own error says only that memory or the hook stopped the chunk.
		if (limits)
			limits->throwIfSpent(name);
		throw;
	}
}

void LuaState::handleLoadResult(int result, const lang::String& name, LuaTable* env)
{
	if (result != 0)
	{
		checkType(-1, STRING);
		lang::throwError(LuaCompileException(lang::String(lua_tostring(m_thread, -1))));
	}
	if (env)
	{
		pushTable(m_thread, env);
		checkType(-2, FUNCTION);
		checkType(-1, TABLE);
		lua_setfenv(m_thread, -2);
	}
	call(0, 0);
}

const char* LuaState::loadFile(lua_State*, void* data, size_t* size)
{
	ChunkReader* reader = static_cast<ChunkReader*>(data);
	*size = 0;
	if (reader->remaining <= 0)
		return nullptr;
	int count = 0;
	try
	{
		count = reader->in->read(reader->block, std::min(reader->remaining, CHUNK_BLOCK_SIZE));
	}
	catch (...)
	{
		reader->failure = std::current_exception();
		reader->remaining = 0;
		return nullptr;
	}
	if (count <= 0)
	{
		reader->remaining = 0;
		return nullptr;
	}
	if (reader->sourceOnly && !reader->started && reader->block[0] == LUA_SIGNATURE[0])
	{
		reader->failure = std::make_exception_ptr(
			LuaCompileException(lang::String("precompiled chunk refused in ") + reader->in->toString()));
		reader->remaining = 0;
		return nullptr;
	}
	reader->started = true;
	reader->remaining -= count;
	*size = static_cast<size_t>(count);
	return reader->block;
}

float LuaState::toNumber(int index) const
{
	checkType(index, NUMBER);
	return static_cast<float>(lua_tonumber(m_thread, index));
}

const char* LuaState::toString(int index) const
{
	checkType(index, STRING);
	return lua_tostring(m_thread, index);
}

bool LuaState::toBoolean(int index) const
{
	checkType(index, BOOLEAN);
	return lua_toboolean(m_thread, index) != 0;
}

LuaTable LuaState::toTable(int index) const
{
	checkType(index, TABLE);
	lua_pushvalue(m_thread, index);
	return LuaTable(const_cast<LuaState*>(this), luaL_ref(m_thread, LUA_REGISTRYINDEX));
}

void LuaState::rawSetI(int index, int n)
{
	checkType(index, TABLE);
	lua_rawseti(m_thread, index, n);
}

bool LuaState::next(int index)
{
	checkType(index, TABLE);
	return lua_next(m_thread, index) != 0;
}

void LuaState::setTable(int index)
{
	checkType(index, TABLE);
	lua_settable(m_thread, index);
}

void LuaState::checkType(int index, Type expected) const
{
	const Type found = type(index);
	if (found != expected)
		throwTypeError(m_thread, index, expected, found);
}

void LuaState::throwTypeError(lua_State* lua, int index, Type expected, Type found)
{
	char stack[TYPE_ERROR_STACK_SIZE] = {};
	if (lua)
		appendStackTrace(stack, sizeof stack, lua);
	else
		appendBounded(stack, sizeof stack, NO_CALL_STACK);
	lang::throwError(LuaException(lang::Format("Excepted type {0} at stack position {1} but found {2}{3}",
		toString(expected), index, toString(found), lang::String(stack))));
}

void LuaState::pushTable(lua_State* lua, const LuaTable* table)
{
	if (!table || table->reference() < 0)
		lua_pushnil(lua);
	else
		lua_rawgeti(lua, LUA_REGISTRYINDEX, table->reference());
}

const char* LuaState::toString(Type type)
{
	switch (type)
	{
	case NIL: return "NIL";
	case BOOLEAN: return "BOOLEAN";
	case LIGHTUSERDATA: return "LIGHTUSERDATA";
	case NUMBER: return "NUMBER";
	case STRING: return "STRING";
	case TABLE: return "TABLE";
	case FUNCTION: return "FUNCTION";
	case USERDATA: return "USERDATA";
	case THREAD: return "THREAD";
	default: return "INVALID";
	}
}

LuaState* LuaState::owner(lua_State* lua)
{
	lua_rawgeti(lua, LUA_REGISTRYINDEX, OWNER_REFERENCE);
	LuaState* state = static_cast<LuaState*>(lua_touserdata(lua, -1));
	lua_pop(lua, 1);
	return state;
}

void LuaState::getDispatchData(lua_State* lua, LuaState** state, LuaFunctor* functor)
{
	*state = owner(lua);
	for (int word = 0; word < LuaFunctor::WORDS; ++word)
		functor->setWord(word, lua_touserdata(lua, lua_upvalueindex(word + 1)));
}

void LuaState::appendStackTrace(char* buffer, int size, lua_State* lua)
{
	int listed = 0;
	for (int level = 1; level <= MAX_STACK_LEVELS; ++level)
	{
		lua_Debug record;
		std::memset(&record, 0, sizeof record);
		if (!lua_getstack(lua, level, &record) || !lua_getinfo(lua, "Snl", &record))
			break;
		if (listed == 0)
			appendBounded(buffer, size, "\nCall stack:\n");
		char line[STACK_LINE_SIZE];
		std::snprintf(line, sizeof line, "%s(%i)\n", record.source, record.currentline);
		appendBounded(buffer, size, line);
		++listed;
	}
	appendBounded(buffer, size, listed > 0 ? "(end)\n" : NO_CALL_STACK);
}

int LuaState::handleError(lua_State* lua)
{
	char text[ERROR_TEXT_SIZE] = {};
	appendErrorValue(text, sizeof text, lua);
	appendStackTrace(text, sizeof text, lua);
	return owner(lua)->raise(lua, nullptr, text);
}

int LuaState::handleMessage(lua_State* lua)
{
	if (isPendingError(lua, 1))
		return 1;
	char text[ERROR_TEXT_SIZE] = {};
	appendErrorValue(text, sizeof text, lua);
	appendBounded(text, sizeof text, NO_CALL_STACK);
	lua_pushstring(lua, text);
	return 1;
}

// Only reached for an error outside every protected call (a metamethod that a non-raw operation
// of the binding ran, or an allocation failing there); the interpreter has already reset its call
// information, so an error it raised itself lists no levels.
int LuaState::handlePanic(lua_State* lua)
{
	owner(lua)->throwFailure(lua, true);
}

int LuaState::raise(lua_State* lua, std::exception_ptr failure, const char* text)
{
	m_pendingFailure = std::move(failure);
	lua_pushlightuserdata(lua, const_cast<char*>(&pendingErrorKey));
	lua_pushstring(lua, text);
	lua_rawset(lua, LUA_REGISTRYINDEX);
	lua_pushstring(lua, text);
	return lua_error(lua);
}

void LuaState::throwFailure(lua_State* lua, bool appendStack)
{
	std::exception_ptr failure;
	const lang::String text = takeError(lua, appendStack, failure);
	if (failure)
		std::rethrow_exception(failure);
	lang::throwError(LuaException(lang::Format("{0}", text)));
}

lang::String LuaState::takeError(lua_State* lua, bool appendStack, std::exception_ptr& failure)
{
	const bool pending = isPendingError(lua, -1);
	if (pending)
		failure = m_pendingFailure;
	char text[ERROR_TEXT_SIZE] = {};
	appendErrorValue(text, sizeof text, lua);
	if (appendStack && !pending)
		appendStackTrace(text, sizeof text, lua);
	lua_pop(lua, 1);
	if (pending || m_callDepth == 0)
		clearPendingFailure();
	return lang::String(text);
}

// Writes the registry only when it holds a text, so that no key is added: this also runs in the
// panic handler, where an allocation failing would panic again.
void LuaState::clearPendingFailure()
{
	m_pendingFailure = nullptr;
	lua_pushlightuserdata(m_thread, const_cast<char*>(&pendingErrorKey));
	lua_rawget(m_thread, LUA_REGISTRYINDEX);
	const bool held = !lua_isnil(m_thread, -1);
	lua_pop(m_thread, 1);
	if (!held)
		return;
	lua_pushlightuserdata(m_thread, const_cast<char*>(&pendingErrorKey));
	lua_pushnil(m_thread);
	lua_rawset(m_thread, LUA_REGISTRYINDEX);
}

} // lua
