#ifndef LUA_LUATABLEWRITER_H
#define LUA_LUATABLEWRITER_H

#include <cstddef>
#include <lua.h>

namespace io { class OutputStream; }

namespace lua {

// Writes Lua values of an interpreter stack as Lua text that reads back to equal values: numbers
// in the shortest form that reads back to the same float, strings escaped, positional values
// 1..n first and every other key as a name or in brackets. Lives for one write; owns nothing.
class LuaTableWriter
{
public:
	LuaTableWriter(lua_State* lua, io::OutputStream* out) : m_lua(lua), m_out(out) {}

	// Writes the entries of the table at the absolute stack position table. Without commas the
	// entries are statements ("key = value" lines), which admit only keys that are Lua names.
	void writeEntries(int table, int indent, bool commas, int depth);
	// Writes the value at a stack position; depth counts the tables around it.
	void writeValue(int index, int indent, int depth);

	// The text of a number that reads back to the same float (buffer of at least 32 bytes).
	static void formatNumber(float value, char* buffer, std::size_t size);
	// True for text that can stand as a bare key: a Lua name that is not a reserved word.
	static bool isName(const char* text, std::size_t length);

private:
	// Writes the key of an entry: a bare name, or the key in brackets, which statements refuse.
	void writeKey(int key, bool statement);
	void writeNumber(float value);
	void writeQuoted(int index);
	void writeIndent(int indent);
	void write(const char* text);
	void write(const char* text, std::size_t length);

	lua_State* m_lua;
	io::OutputStream* m_out;
};

} // lua

#endif
