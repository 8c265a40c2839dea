#ifndef LUA_LUATABLE_H
#define LUA_LUATABLE_H

#include <lang/Object.h>
#include <lang/String.h>

namespace io { class InputStream; class OutputStream; }

namespace lua {

class LuaKey;
class LuaState;

// Handle of one Lua table, kept alive by a registry reference that the handle owns; copies take
// references of their own. Holds a raw pointer to its LuaState and must be released before it.
// Access is raw (no metamethods) and every operation except pushMember leaves the stack top as
// it found it, also when it throws.
class LuaTable : public lang::Object
{
public:
	// Unbound: no state, no table.
	LuaTable();
	// A new empty table on state; unbound when state is null.
	explicit LuaTable(LuaState* state);
	LuaTable(const LuaTable& other);
	LuaTable& operator=(const LuaTable& other);
	~LuaTable() override;

	bool isBound() const { return m_reference >= 0; }
	LuaState* state() const { return m_state; }
	int reference() const { return m_reference; }

	// The operations below but size, write and read throw LuaException on an unbound handle.
	// Every accessor takes a name (char const* or lang::String) or an integer key; access is raw.
	bool isBoolean(const char* key) const;
	bool isBoolean(const lang::String& key) const;
	bool isBoolean(int key) const;
	bool isTable(const char* key) const;
	bool isTable(const lang::String& key) const;
	bool isTable(int key) const;
	// Lenient: a string that converts to a number counts.
	bool isNumber(const char* key) const;
	bool isNumber(const lang::String& key) const;
	bool isNumber(int key) const;
	// Lenient: a number counts.
	bool isString(const char* key) const;
	bool isString(const lang::String& key) const;
	bool isString(int key) const;

	void setBoolean(const char* key, bool value);
	void setBoolean(const lang::String& key, bool value);
	void setBoolean(int key, bool value);
	void setNumber(const char* key, float value);
	void setNumber(const lang::String& key, float value);
	void setNumber(int key, float value);
	// With a key made once, for stores repeated every frame; a key of another state throws.
	void setBoolean(const LuaKey& key, bool value);
	void setNumber(const LuaKey& key, float value);
	void setString(const char* key, const char* value);
	void setString(const char* key, const lang::String& value);
	void setString(const lang::String& key, const lang::String& value);
	void setString(int key, const lang::String& value);
	// A null or unbound table removes the key.
	void setTable(const char* key, const LuaTable* value);
	void setTable(const char* key, const LuaTable& value);
	void setTable(const lang::String& key, const LuaTable& value);
	void setTable(int key, const LuaTable& value);
	void remove(const char* key);
	void remove(const lang::String& key);
	void remove(int key);

	// Exact getters: another type (nil for a missing key) throws LuaException
	// "Tried to get value {0} from table, but type was {1} instead of {2}".
	float getNumber(const char* key) const;
	float getNumber(const lang::String& key) const;
	float getNumber(int key) const;
	lang::String getString(const char* key) const;
	lang::String getString(const lang::String& key) const;
	lang::String getString(int key) const;
	bool getBoolean(const char* key) const;
	bool getBoolean(const lang::String& key) const;
	bool getBoolean(int key) const;
	LuaTable getTable(const char* key) const;
	LuaTable getTable(const lang::String& key) const;
	LuaTable getTable(int key) const;

	// The number of key/value pairs, array and hash part alike.
	int size() const;
	// Pushes the value under key (raw) and leaves it on the stack.
	void pushMember(const char* key) const;

	// Runs the stream as a chunk of Lua source with this table as its whole environment, so its
	// top-level assignments become fields here and it reaches nothing else of the interpreter.
	// Text that does not compile, and a precompiled chunk, throw LuaCompileException.
	void read(io::InputStream* in);
	// As read, with the chunk named name (a file's path) in the interpreter's messages instead of
	// the stream's own name.
	void read(io::InputStream* in, const lang::String& name);
	// What a chunk of data from outside, such as a player's save, may take while read runs it.
	struct Budget
	{
		// Interpreter instructions the chunk may run.
		int instructions;
		// Bytes the interpreter may take beyond what it held before, to compile and to run it.
		int bytes;
		// Bytes of the largest single block it may ask for (a string, a table's part, compiled
		// code): one instruction that compares or joins strings takes time in proportion to them,
		// which no instruction count sees.
		int blockBytes;
		// Milliseconds on the clock from the start of the read, looked at every thousand
		// instructions; 0 stops the chunk at the first look.
		int milliseconds;
	};
	// As read, for data from outside: string values have no methods for the chunk, and a chunk that
	// runs past the budget fails with LuaException "{name} ran past its budget of {0} instructions",
	// "{name} took more than its budget of {0} bytes", "{name} asked for a block of more than {0}
	// bytes" or "{name} ran past its deadline of {0} ms". Text that does not compile throws
	// LuaCompileException. The interpreter's allocator, hook and string methods are as they were
	// afterwards; other chunks run without a budget.
	void read(io::InputStream* in, const lang::String& name, const Budget& budget);
	// Writes the table as Lua text that read turns back into an equal table: at indent 0 without
	// commas one "key = value" line per entry, nested tables as indented constructors. Throws
	// LuaException for a table nested deeper than MAX_WRITE_DEPTH (such as one that contains
	// itself) and, at the top level, for an entry whose key is not a Lua name.
	void write(io::OutputStream* out, int indent, bool commas) const;
	// Writes the value at a stack position of this table's state as Lua text.
	void writeValue(io::OutputStream* out, int index, int indent) const;

	// Nesting levels that write follows before it gives up.
	static constexpr int MAX_WRITE_DEPTH = 64;

private:
	friend class LuaState;

	// Adopts an existing registry reference.
	LuaTable(LuaState* state, int reference);
	// read, held to the budget when it is not null.
	void readWithin(io::InputStream* in, const lang::String& name, const Budget* budget);

	LuaState* m_state;
	int m_reference;
};

} // lua

#endif
