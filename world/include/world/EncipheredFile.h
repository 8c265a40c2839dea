#ifndef WORLD_ENCIPHEREDFILE_H
#define WORLD_ENCIPHEREDFILE_H

#include <lang/Array.h>
#include <lang/String.h>
#include <lua/LuaTable.h>

namespace io { class ByteArrayInputStream; class InputStream; class OutputStream; }

// Reading of the game's enciphered files, and the text their tables are saved as: each is read
// whole into memory and deciphered in one call, never streamed. Stateless.
class EncipheredFile
{
public:
	// The most bytes a player's save may hold; a save of every level takes a few kilobytes.
	static constexpr int MAX_SAVE_BYTES = 1024 * 1024;
	// What the text of a player's save may take while it runs into its table: hundreds of times
	// what a save of every level needs, and a second on the clock, so that one that never ends,
	// or whose few instructions each take long, stops within it.
	static const lua::LuaTable::Budget SAVE_BUDGET;

	// Writes table as the Lua-table text that the game's files hold and a save runs back into a
	// table: one "key = value" line per entry, without indent or commas. Throws as
	// lua::LuaTable::write for a table that cannot be written so.
	static void writeText(const lua::LuaTable& table, io::OutputStream* out);
	// Every byte the stream has left (its available() count).
	static lang::Array<unsigned char> readAll(io::InputStream* in);
	// Puts the plain bytes of ciphertext under key into plain, rewound. Throws
	// io::DataCorruptedException "it does not decipher under the {keyName} key" when they do not.
	static void decipher(const lang::Array<unsigned char>& key, const char* keyName, const lang::Array<unsigned char>& ciphertext, io::ByteArrayInputStream& plain);
	// A player's save, the rest of in, as a new table on lua: the text that the first key deciphers
	// run into it as a chunk named name, within SAVE_BUDGET; the second key has its turn when the
	// first does not decipher the file or its text fails. A failed run's entries are not kept.
	// Throws io::DataCorruptedException with why no key gave a table: "it holds {0} bytes, more
	// than the {1} a save may hold", "it deciphers under neither key", or for the first text that
	// failed "it does not compile: {0}" with the compiler's message or "it does not run: {0}".
	// The stream's own failures go to the caller as they are.
	static lua::LuaTable readSave(lua::LuaState* lua, io::InputStream* in, const lang::String& name,
		const lang::Array<unsigned char>& firstKey, const lang::Array<unsigned char>& secondKey);
};

#endif
