// Reads arbitrary text into a table the way saved files are read, writes the table back as text
// and reads that again: whatever write produces must compile. Each input runs on a fresh
// interpreter under the limits of LuaFuzzing.h.
#include "LuaFuzzing.h"
#include <io/ByteArrayInputStream.h>
#include <io/ByteArrayOutputStream.h>
#include <lang/Throwable.h>
#include <lua/LuaException.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>

#include <cstdint>
#include <cstring>

namespace {

// Fills table from text; false when the text fails to compile or to run.
bool read(lua::LuaTable& table, const void* text, int size)
{
	io::ByteArrayInputStream in(text, size);
	try
	{
		table.read(&in);
		return true;
	}
	catch (const lang::Throwable&)
	{
		return false;
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	lua::LuaState state;
	luafuzz::limit(state);

	lua::LuaTable table(&state);
	if (!read(table, data, static_cast<int>(size)))
		return 0;
	io::ByteArrayOutputStream out;
	try
	{
		table.write(&out, 0, false);
	}
	catch (const lang::Throwable&)
	{
		return 0;
	}

	luafuzz::budget.checks = 0;
	io::ByteArrayInputStream written(out.data(), out.size());
	try
	{
		// Made in here: with the memory limit reached, even an empty table fails.
		lua::LuaTable copy(&state);
		copy.read(&written);
	}
	catch (const lua::LuaException& e)
	{
		// Only a memory or budget failure may stop written text; a compile error is a writer fault.
		const lang::String message = e.getMessage().format();
		if (std::strncmp(message.c_str(), "Error while compiling", 21) == 0 && !std::strstr(message.c_str(), "not enough memory"))
			std::abort();
	}
	return 0;
}
