#include <lua/LuaTable.h>

#include "LuaTableWriter.h"

#include <io/InputStream.h>
#include <lang/Format.h>
#include <lua/LuaException.h>
#include <lua/LuaKey.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>

#include <lauxlib.h>

namespace lua {

namespace {

constexpr int NO_REFERENCE = -1;

lua_State* boundInterpreter(const LuaTable& table)
{
	if (!table.isBound() || !table.state())
		lang::throwError(LuaException(lang::Format("Used an unbound table handle")));
	return table.state()->interpreter();
}

void releaseReference(LuaState* state, int reference)
{
	if (state && reference >= 0)
		luaL_unref(state->interpreter(), LUA_REGISTRYINDEX, reference);
}

// Field access on the table at the top of the stack.
void pushField(lua_State* lua, const char* key)
{
	lua_pushstring(lua, key);
	lua_rawget(lua, -2);
}

void pushField(lua_State* lua, const lang::String& key)
{
	pushField(lua, key.c_str());
}

void pushField(lua_State* lua, int key)
{
	lua_rawgeti(lua, -1, key);
}

void pushKey(lua_State* lua, const char* key)
{
	lua_pushstring(lua, key);
}

void pushKey(lua_State* lua, const lang::String& key)
{
	lua_pushstring(lua, key.c_str());
}

void pushKey(lua_State* lua, const LuaKey& key)
{
	key.push(lua);
}

// Stores the value pushValue pushes under key into the table on the top of the stack. The key
// goes first, so the pair is in place for the raw set without moving the value.
template <class Key, class PushValue>
void storeField(lua_State* lua, const Key& key, PushValue pushValue)
{
	pushKey(lua, key);
	pushValue(lua);
	lua_rawset(lua, -3);
}

template <class PushValue>
void storeField(lua_State* lua, int key, PushValue pushValue)
{
	pushValue(lua);
	lua_rawseti(lua, -2, key);
}

template <class Key>
bool testField(const LuaTable& table, const Key& key, int (*test)(lua_State*, int))
{
	lua_State* lua = boundInterpreter(table);
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, &table);
	pushField(lua, key);
	return test(lua, -1) != 0;
}

int isBooleanValue(lua_State* lua, int index)
{
	return lua_type(lua, index) == LUA_TBOOLEAN;
}

int isTableValue(lua_State* lua, int index)
{
	return lua_type(lua, index) == LUA_TTABLE;
}

// pushValue pushes the value to store; nil removes the key.
template <class Key, class PushValue>
void setField(const LuaTable& table, const Key& key, PushValue pushValue)
{
	lua_State* lua = boundInterpreter(table);
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, &table);
	storeField(lua, key, pushValue);
}

// Pushes the value under key and returns read(lua) of it, with the stack restored afterwards;
// a value of another type than expected throws instead.
template <class Key, class Read>
auto readField(const LuaTable& table, const Key& key, LuaState::Type expected, Read read)
{
	lua_State* lua = boundInterpreter(table);
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, &table);
	pushField(lua, key);
	const LuaState::Type found = static_cast<LuaState::Type>(lua_type(lua, -1));
	if (found != expected)
		lang::throwError(LuaException(lang::Format("Tried to get value {0} from table, but type was {1} instead of {2}",
			key, LuaState::toString(found), LuaState::toString(expected))));
	return read(lua);
}

template <class Key>
float numberField(const LuaTable& table, const Key& key)
{
	return readField(table, key, LuaState::NUMBER, [](lua_State* lua) { return static_cast<float>(lua_tonumber(lua, -1)); });
}

template <class Key>
lang::String stringField(const LuaTable& table, const Key& key)
{
	return readField(table, key, LuaState::STRING, [](lua_State* lua) { return lang::String(lua_tostring(lua, -1)); });
}

template <class Key>
LuaTable tableField(const LuaTable& table, const Key& key)
{
	return readField(table, key, LuaState::TABLE, [&table](lua_State*) { return table.state()->toTable(-1); });
}

template <class Key>
bool booleanField(const LuaTable& table, const Key& key)
{
	return readField(table, key, LuaState::BOOLEAN, [](lua_State* lua) { return lua_toboolean(lua, -1) != 0; });
}

// A key of another state would push an unrelated registry entry.
void checkKeyState(const LuaTable& table, const LuaKey& key)
{
	if (key.state() != table.state())
		lang::throwError(LuaException(lang::Format("Used a table key of another Lua state")));
}

template <class Key>
void storeBoolean(const LuaTable& table, const Key& key, bool value)
{
	setField(table, key, [value](lua_State* lua) { lua_pushboolean(lua, value); });
}

template <class Key>
void storeNumber(const LuaTable& table, const Key& key, float value)
{
	setField(table, key, [value](lua_State* lua) { lua_pushnumber(lua, value); });
}

template <class Key>
void storeString(const LuaTable& table, const Key& key, const lang::String& value)
{
	setField(table, key, [&value](lua_State* lua) { LuaState::pushString(lua, value); });
}

template <class Key>
void removeField(const LuaTable& table, const Key& key)
{
	setField(table, key, [](lua_State* lua) { lua_pushnil(lua); });
}

} // namespace

LuaTable::LuaTable() :
	m_state(nullptr),
	m_reference(NO_REFERENCE)
{
}

LuaTable::LuaTable(LuaState* state) :
	m_state(state),
	m_reference(NO_REFERENCE)
{
	if (!state)
		return;
	lua_State* lua = state->interpreter();
	lua_createtable(lua, 0, 0);
	m_reference = luaL_ref(lua, LUA_REGISTRYINDEX);
}

LuaTable::LuaTable(LuaState* state, int reference) :
	m_state(state),
	m_reference(reference)
{
}

LuaTable::LuaTable(const LuaTable& other) :
	LuaTable()
{
	*this = other;
}

LuaTable& LuaTable::operator=(const LuaTable& other)
{
	LuaState* state = nullptr;
	int reference = NO_REFERENCE;
	if (other.m_state && other.m_reference >= 0)
	{
		lua_State* lua = other.m_state->interpreter();
		lua_rawgeti(lua, LUA_REGISTRYINDEX, other.m_reference);
		reference = luaL_ref(lua, LUA_REGISTRYINDEX);
		state = other.m_state;
	}
	releaseReference(m_state, m_reference);
	m_state = state;
	m_reference = reference;
	return *this;
}

LuaTable::~LuaTable()
{
	releaseReference(m_state, m_reference);
}

bool LuaTable::isBoolean(const char* key) const { return testField(*this, key, isBooleanValue); }
bool LuaTable::isBoolean(const lang::String& key) const { return testField(*this, key, isBooleanValue); }
bool LuaTable::isBoolean(int key) const { return testField(*this, key, isBooleanValue); }
bool LuaTable::isTable(const char* key) const { return testField(*this, key, isTableValue); }
bool LuaTable::isTable(const lang::String& key) const { return testField(*this, key, isTableValue); }
bool LuaTable::isTable(int key) const { return testField(*this, key, isTableValue); }
bool LuaTable::isNumber(const char* key) const { return testField(*this, key, lua_isnumber); }
bool LuaTable::isNumber(const lang::String& key) const { return testField(*this, key, lua_isnumber); }
bool LuaTable::isNumber(int key) const { return testField(*this, key, lua_isnumber); }
bool LuaTable::isString(const char* key) const { return testField(*this, key, lua_isstring); }
bool LuaTable::isString(const lang::String& key) const { return testField(*this, key, lua_isstring); }
bool LuaTable::isString(int key) const { return testField(*this, key, lua_isstring); }

void LuaTable::setBoolean(const char* key, bool value) { storeBoolean(*this, key, value); }
void LuaTable::setBoolean(const lang::String& key, bool value) { storeBoolean(*this, key, value); }
void LuaTable::setBoolean(int key, bool value) { storeBoolean(*this, key, value); }
void LuaTable::setNumber(const char* key, float value) { storeNumber(*this, key, value); }
void LuaTable::setNumber(const lang::String& key, float value) { storeNumber(*this, key, value); }
void LuaTable::setNumber(int key, float value) { storeNumber(*this, key, value); }

void LuaTable::setBoolean(const LuaKey& key, bool value)
{
	checkKeyState(*this, key);
	storeBoolean(*this, key, value);
}

void LuaTable::setNumber(const LuaKey& key, float value)
{
	checkKeyState(*this, key);
	storeNumber(*this, key, value);
}

void LuaTable::setString(const char* key, const char* value)
{
	setField(*this, key, [value](lua_State* lua) { lua_pushstring(lua, value); });
}

void LuaTable::setString(const char* key, const lang::String& value) { storeString(*this, key, value); }
void LuaTable::setString(const lang::String& key, const lang::String& value) { storeString(*this, key, value); }
void LuaTable::setString(int key, const lang::String& value) { storeString(*this, key, value); }

void LuaTable::setTable(const char* key, const LuaTable* value)
{
	setField(*this, key, [value](lua_State* lua) { LuaState::pushTable(lua, value); });
}

void LuaTable::setTable(const char* key, const LuaTable& value)
{
	setTable(key, &value);
}

void LuaTable::setTable(const lang::String& key, const LuaTable& value)
{
	setTable(key.c_str(), &value);
}

void LuaTable::setTable(int key, const LuaTable& value)
{
	setField(*this, key, [&value](lua_State* lua) { LuaState::pushTable(lua, &value); });
}

void LuaTable::remove(const char* key) { removeField(*this, key); }
void LuaTable::remove(const lang::String& key) { removeField(*this, key); }
void LuaTable::remove(int key) { removeField(*this, key); }

float LuaTable::getNumber(const char* key) const { return numberField(*this, key); }
float LuaTable::getNumber(const lang::String& key) const { return numberField(*this, key); }
float LuaTable::getNumber(int key) const { return numberField(*this, key); }
lang::String LuaTable::getString(const char* key) const { return stringField(*this, key); }
lang::String LuaTable::getString(const lang::String& key) const { return stringField(*this, key); }
lang::String LuaTable::getString(int key) const { return stringField(*this, key); }
bool LuaTable::getBoolean(const char* key) const { return booleanField(*this, key); }
bool LuaTable::getBoolean(const lang::String& key) const { return booleanField(*this, key); }
bool LuaTable::getBoolean(int key) const { return booleanField(*this, key); }
LuaTable LuaTable::getTable(const char* key) const { return tableField(*this, key); }
LuaTable LuaTable::getTable(const lang::String& key) const { return tableField(*this, key); }
LuaTable LuaTable::getTable(int key) const { return tableField(*this, key); }

int LuaTable::size() const
{
	// The table's position when pushed with the nil first key above it.
	constexpr int TABLE_POSITION = -2;
	if (!m_state)
		LuaState::throwTypeError(nullptr, TABLE_POSITION, LuaState::TABLE, LuaState::NIL);
	LuaStackRestore restore(m_state);
	lua_State* lua = m_state->interpreter();
	LuaState::pushTable(lua, this);
	lua_pushnil(lua);
	int count = 0;
	while (m_state->next(TABLE_POSITION))
	{
		lua_pop(lua, 1);
		++count;
	}
	return count;
}

void LuaTable::pushMember(const char* key) const
{
	lua_State* lua = boundInterpreter(*this);
	LuaState::pushTable(lua, this);
	pushField(lua, key);
	lua_remove(lua, -2);
}

void LuaTable::read(io::InputStream* in)
{
	read(in, in->toString());
}

void LuaTable::read(io::InputStream* in, const lang::String& name)
{
	readWithin(in, name, nullptr);
}

void LuaTable::read(io::InputStream* in, const lang::String& name, const Budget& budget)
{
	readWithin(in, name, &budget);
}

void LuaTable::readWithin(io::InputStream* in, const lang::String& name, const Budget* budget)
{
	// The position of the environment when compile checks it.
	constexpr int ENV_POSITION = -1;
	if (!m_state)
		LuaState::throwTypeError(nullptr, ENV_POSITION, LuaState::TABLE, LuaState::NIL);
	m_state->load(in, in->available(), name, this, true, budget);
}

void LuaTable::write(io::OutputStream* out, int indent, bool commas) const
{
	if (!m_state)
		LuaState::throwTypeError(nullptr, -1, LuaState::TABLE, LuaState::NIL);
	lua_State* lua = m_state->interpreter();
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, this);
	LuaTableWriter(lua, out).writeEntries(lua_gettop(lua), indent, commas, 0);
}

void LuaTable::writeValue(io::OutputStream* out, int index, int indent) const
{
	lua_State* lua = boundInterpreter(*this);
	LuaStackRestore restore(lua);
	LuaTableWriter(lua, out).writeValue(index, indent, 0);
}

} // lua
