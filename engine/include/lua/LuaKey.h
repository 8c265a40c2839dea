#ifndef LUA_LUAKEY_H
#define LUA_LUAKEY_H

struct lua_State;

namespace lua {

class LuaState;

// A string key made once for table accesses repeated every frame: it keeps its interned string
// alive by a registry reference it owns, so a table access pushes that string instead of hashing
// the text again. Holds a raw pointer to its LuaState and must be released before it; not copied.
class LuaKey
{
public:
	// state must not be null.
	LuaKey(LuaState* state, const char* text);
	~LuaKey();

	LuaKey(const LuaKey&) = delete;
	LuaKey& operator=(const LuaKey&) = delete;

	LuaState* state() const { return m_state; }
	// Pushes the key's string on lua, which must be a thread of the key's state.
	void push(lua_State* lua) const;

private:
	LuaState* m_state;
	int m_reference;
};

} // lua

#endif
