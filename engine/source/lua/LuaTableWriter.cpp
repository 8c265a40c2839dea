#include "LuaTableWriter.h"

#include <io/OutputStream.h>
#include <lang/Format.h>
#include <lua/LuaException.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lua {

namespace {

// Stack slots one nesting level of writeEntries uses: table, key, value and a lookup.
constexpr int SLOTS_PER_LEVEL = 4;
// Spaces added per nesting level.
constexpr int INDENT_STEP = 4;
// "%g" precision first, so that numbers it writes exactly keep its form; 9 digits always suffice.
constexpr int FIRST_PRECISION = 6;
constexpr int LAST_PRECISION = 9;

const char* const RESERVED_WORDS[] = {
	"and", "break", "do", "else", "elseif", "end", "false", "for", "function", "if", "in",
	"local", "nil", "not", "or", "repeat", "return", "then", "true", "until", "while",
};

// Keys that have a text form; entries under other keys (tables, functions) are left out.
bool hasTextForm(lua_State* lua, int key)
{
	const int type = lua_type(lua, key);
	return type == LUA_TSTRING || type == LUA_TNUMBER || type == LUA_TBOOLEAN;
}

bool isPositionalKey(lua_State* lua, int key, int count)
{
	if (lua_type(lua, key) != LUA_TNUMBER)
		return false;
	const lua_Number number = lua_tonumber(lua, key);
	return number >= 1 && number <= count && number == std::floor(number);
}

} // namespace

void LuaTableWriter::writeEntries(int table, int indent, bool commas, int depth)
{
	if (depth >= LuaTable::MAX_WRITE_DEPTH)
		lang::throwError(LuaException(lang::Format("Table nested deeper than {0} levels (does it contain itself?)",
			LuaTable::MAX_WRITE_DEPTH)));
	if (lua_type(m_lua, table) != LUA_TTABLE)
		LuaState::throwTypeError(m_lua, table, LuaState::TABLE, static_cast<LuaState::Type>(lua_type(m_lua, table)));
	if (!lua_checkstack(m_lua, SLOTS_PER_LEVEL))
		lang::throwError(LuaException(lang::Format("Out of stack space while writing a table")));

	const bool statement = !commas;
	int count = 0;
	for (;; ++count)
	{
		lua_rawgeti(m_lua, table, count + 1);
		const bool present = !lua_isnil(m_lua, -1);
		lua_pop(m_lua, 1);
		if (!present)
			break;
	}
	if (count > 0 && statement)
		lang::throwError(LuaException(lang::Format("Positional values cannot be written as statements")));
	for (int position = 1; position <= count; ++position)
	{
		if (position == 1)
			writeIndent(indent);
		else
			write(",");
		lua_rawgeti(m_lua, table, position);
		writeValue(-1, indent, depth + 1);
		lua_pop(m_lua, 1);
	}

	bool keyed = false;
	lua_pushnil(m_lua);
	while (lua_next(m_lua, table))
	{
		const int key = lua_gettop(m_lua) - 1;
		size_t length = 0;
		const char* name = lua_type(m_lua, key) == LUA_TSTRING ? lua_tolstring(m_lua, key, &length) : nullptr;
		const bool skipped = !hasTextForm(m_lua, key) || isPositionalKey(m_lua, key, count) ||
			(name && length == 2 && std::strcmp(name, "_G") == 0);
		if (!skipped)
		{
			if (!keyed && count > 0)
				write(",\n");
			writeIndent(indent);
			writeKey(key, statement);
			write(" = ");
			writeValue(-1, indent, depth + 1);
			write(commas ? ",\n" : "\n");
			keyed = true;
		}
		lua_pop(m_lua, 1);
	}
}

void LuaTableWriter::writeValue(int index, int indent, int depth)
{
	const int value = index < 0 ? lua_gettop(m_lua) + index + 1 : index;
	switch (lua_type(m_lua, value))
	{
	case LUA_TBOOLEAN:
		write(lua_toboolean(m_lua, value) ? "true" : "false");
		break;
	case LUA_TNUMBER:
		writeNumber(static_cast<float>(lua_tonumber(m_lua, value)));
		break;
	case LUA_TSTRING:
		writeQuoted(value);
		break;
	case LUA_TTABLE:
		write("{\n");
		writeEntries(value, indent + INDENT_STEP, true, depth);
		write("\n");
		writeIndent(indent);
		write("}");
		break;
	default:
		write("nil");
		break;
	}
}

void LuaTableWriter::writeKey(int key, bool statement)
{
	const int type = lua_type(m_lua, key);
	size_t length = 0;
	const char* text = type == LUA_TSTRING ? lua_tolstring(m_lua, key, &length) : nullptr;
	if (text && isName(text, length))
	{
		write(text, length);
		return;
	}
	if (statement)
		lang::throwError(LuaException(lang::Format("Only keys that are names can be written as statements")));
	write("[");
	if (type == LUA_TSTRING)
		writeQuoted(key);
	else if (type == LUA_TNUMBER)
		writeNumber(static_cast<float>(lua_tonumber(m_lua, key)));
	else
		write(lua_toboolean(m_lua, key) ? "true" : "false");
	write("]");
}

void LuaTableWriter::writeNumber(float value)
{
	char text[32];
	formatNumber(value, text, sizeof text);
	write(text);
}

// Escapes as the interpreter's "%q" does: quote, backslash, line breaks and zero bytes.
void LuaTableWriter::writeQuoted(int index)
{
	size_t length = 0;
	const char* text = lua_tolstring(m_lua, index, &length);
	write("\"");
	size_t plain = 0;
	for (size_t i = 0; i < length; ++i)
	{
		const char* escape = nullptr;
		switch (text[i])
		{
		case '"': escape = "\\\""; break;
		case '\\': escape = "\\\\"; break;
		case '\n': escape = "\\\n"; break;
		case '\r': escape = "\\r"; break;
		case '\0': escape = "\\000"; break;
		default: continue;
		}
		write(text + plain, i - plain);
		write(escape);
		plain = i + 1;
	}
	write(text + plain, length - plain);
	write("\"");
}

void LuaTableWriter::writeIndent(int indent)
{
	for (int i = 0; i < indent; ++i)
		write(" ");
}

void LuaTableWriter::write(const char* text)
{
	write(text, std::strlen(text));
}

void LuaTableWriter::write(const char* text, std::size_t length)
{
	if (length > 0)
		m_out->write(text, static_cast<int>(length));
}

void LuaTableWriter::formatNumber(float value, char* buffer, std::size_t size)
{
	if (std::isnan(value))
	{
		std::snprintf(buffer, size, "(0/0)");
		return;
	}
	if (std::isinf(value))
	{
		// Overflows to infinity when read.
		std::snprintf(buffer, size, value > 0 ? "1e999" : "-1e999");
		return;
	}
	for (int precision = FIRST_PRECISION; precision <= LAST_PRECISION; ++precision)
	{
		std::snprintf(buffer, size, "%.*g", precision, static_cast<double>(value));
		if (std::strtof(buffer, nullptr) == value)
			return;
	}
}

bool LuaTableWriter::isName(const char* text, std::size_t length)
{
	if (length == 0 || std::strlen(text) != length)
		return false;
	if (!std::isalpha(static_cast<unsigned char>(text[0])) && text[0] != '_')
		return false;
	for (size_t i = 1; i < length; ++i)
		if (!std::isalnum(static_cast<unsigned char>(text[i])) && text[i] != '_')
			return false;
	for (const char* word : RESERVED_WORDS)
		if (std::strcmp(text, word) == 0)
			return false;
	return true;
}

} // lua
