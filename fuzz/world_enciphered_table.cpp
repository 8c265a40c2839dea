// Reads a shipped table the way the game world does: the file's bytes whole, deciphered under
// the data key, then run as Lua text into a table. The first byte chooses what the rest is: odd,
// plain text that is enciphered first, so the input reaches the Lua reader, and whose decipherment
// must give the text back exactly; even, the file's bytes as they stand, which exercise the
// decipherment and its padding check. The text runs on a fresh interpreter under the limits of
// LuaFuzzing.h. The same bytes are then read as a player's save is, with the data key in the save
// key's place, and the checks of the saves walk what that made: they must not throw, since the
// start of the game runs them on whatever a save holds, and what they keep must save again.
#include "LuaFuzzing.h"
#include <io/ByteArrayInputStream.h>
#include <io/ByteArrayOutputStream.h>
#include <lang/Throwable.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>
#include <world/EncipheredFile.h>
#include <world/FileKeys.h>
#include <world/SaveCheck.h>
#include <world/encrypt.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	const lang::Array<unsigned char> key = FileKeys::dataKey();
	lang::Array<unsigned char> rest;
	rest.resize(static_cast<int>(size - 1));
	std::copy(data + 1, data + size, rest.begin());
	const bool enciphered = (data[0] & 1) != 0;
	lang::Array<unsigned char> file;
	if (!enciphered)
		file = rest;
	else if (!encrypt(key, rest, file))
		std::abort();

	io::ByteArrayInputStream plain;
	try
	{
		io::ByteArrayInputStream shipped(file.begin(), file.size());
		EncipheredFile::decipher(key, "data", EncipheredFile::readAll(&shipped), plain);
	}
	catch (const lang::Throwable&)
	{
		// Only bytes the harness did not encipher itself may fail to decipher.
		if (enciphered)
			std::abort();
		return 0;
	}
	if (enciphered && (plain.size() != rest.size() || !std::equal(rest.begin(), rest.end(), plain.data())))
		std::abort();

	lua::LuaState state;
	luafuzz::limit(state);
	try
	{
		lua::LuaTable table(&state);
		table.read(&plain);
	}
	catch (const lang::Throwable&)
	{
	}

	lua::LuaTable save;
	try
	{
		io::ByteArrayInputStream saved(file.begin(), file.size());
		save = EncipheredFile::readSave(&state, &saved, "highscores.lua", key, FileKeys::saveKey());
	}
	catch (const lang::Throwable&)
	{
		return 0;
	}
	SaveCheck::checkHighscores(save, "highscores.lua");
	SaveCheck::checkSettings(save, "settings.lua");
	try
	{
		io::ByteArrayOutputStream text;
		EncipheredFile::writeText(save, &text);
	}
	catch (const lang::Throwable&)
	{
		std::abort();
	}
	return 0;
}
