#include <world/EncipheredFile.h>

#include <io/ByteArrayInputStream.h>
#include <io/DataCorruptedException.h>
#include <lua/LuaCompileException.h>
#include <world/encrypt.h>
#include <algorithm>
#include <initializer_list>

namespace {

// Interpreter instructions and bytes that a save's text may take: a save of every level runs in
// a few hundred instructions and some kilobytes; ten million instructions take well under a
// second.
constexpr int SAVE_INSTRUCTIONS = 10 * 1000 * 1000;
constexpr int SAVE_BYTES = 64 * 1024 * 1024;
// The largest string or table part a save's text may make: its largest block, the table of ten
// thousand levels, takes under a megabyte, and comparing or joining strings of this size takes
// well under a millisecond.
constexpr int SAVE_BLOCK_BYTES = 4 * 1024 * 1024;
// The time a save's text may take on the clock, however its instructions spend it.
constexpr int SAVE_MILLISECONDS = 1000;

// Lua-table text as the game's files hold it: no indent, no commas after the values.
constexpr int TEXT_INDENT = 0;
constexpr bool TEXT_COMMAS = false;

// Runs text into table within the save budget; why it failed, or empty.
lang::String runSave(lua::LuaTable& table, const lang::Array<unsigned char>& text, const lang::String& name)
{
	io::ByteArrayInputStream plain(text.begin(), text.size());
	try
	{
		table.read(&plain, name, EncipheredFile::SAVE_BUDGET);
		return "";
	}
	catch (const lua::LuaCompileException& e)
	{
		return lang::Format("it does not compile: {0}", e.compilerMessage()).format();
	}
	catch (const lua::LuaException& e)
	{
		return lang::Format("it does not run: {0}", e.getMessage().format()).format();
	}
}

} // namespace

const lua::LuaTable::Budget EncipheredFile::SAVE_BUDGET = {SAVE_INSTRUCTIONS, SAVE_BYTES, SAVE_BLOCK_BYTES, SAVE_MILLISECONDS};

void EncipheredFile::writeText(const lua::LuaTable& table, io::OutputStream* out)
{
	table.write(out, TEXT_INDENT, TEXT_COMMAS);
}

lang::Array<unsigned char> EncipheredFile::readAll(io::InputStream* in)
{
	lang::Array<unsigned char> bytes;
	bytes.resize(std::max(0, in->available()));
	int filled = 0;
	while (filled < bytes.size())
	{
		const int count = in->read(bytes.begin() + filled, bytes.size() - filled);
		if (count <= 0)
			break;
		filled += count;
	}
	bytes.resize(filled);
	return bytes;
}

void EncipheredFile::decipher(const lang::Array<unsigned char>& key, const char* keyName, const lang::Array<unsigned char>& ciphertext, io::ByteArrayInputStream& plain)
{
	lang::Array<unsigned char> text;
	if (!decrypt(key, ciphertext, text))
		lang::throwError(io::DataCorruptedException(lang::Format("it does not decipher under the {0} key", keyName)));
	plain.reset(text.begin(), text.size());
}

lua::LuaTable EncipheredFile::readSave(lua::LuaState* lua, io::InputStream* in, const lang::String& name,
	const lang::Array<unsigned char>& firstKey, const lang::Array<unsigned char>& secondKey)
{
	const int size = in->available();
	if (size > MAX_SAVE_BYTES)
		lang::throwError(io::DataCorruptedException(lang::Format("it holds {0} bytes, more than the {1} a save may hold", size, MAX_SAVE_BYTES)));
	const lang::Array<unsigned char> ciphertext = readAll(in);
	lang::String failure;
	for (const lang::Array<unsigned char>* key : {&firstKey, &secondKey})
	{
		lang::Array<unsigned char> text;
		if (!decrypt(*key, ciphertext, text))
			continue;
		lua::LuaTable table(lua);
		const lang::String reason = runSave(table, text, name);
		if (reason.isEmpty())
			return table;
		if (failure.isEmpty())
			failure = reason;
	}
	if (failure.isEmpty())
		failure = "it deciphers under neither key";
	lang::throwError(io::DataCorruptedException(lang::Format("{0}", failure)));
}
