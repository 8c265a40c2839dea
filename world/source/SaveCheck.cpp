#include <world/SaveCheck.h>

#include <io/IOException.h>
#include <io/OutputStream.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lang/String.h>
#include <lang/Truncate.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>
#include <world/EncipheredFile.h>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

// The integer a score becomes: the scripts write it with string.format's %d (a lua_Integer) and
// report it to the game service (an int64_t). A score that it cannot hold would show and be
// reported as some other number.
using ScoreInteger = std::int64_t;
static_assert(std::numeric_limits<lua_Integer>::max() == std::numeric_limits<ScoreInteger>::max() &&
	std::numeric_limits<lua_Integer>::min() == std::numeric_limits<ScoreInteger>::min(), "the scripts' integer is the score's");

// The most stars a level earns.
const float MAX_STARS = 3.0f;
// The master volume's range.
const float MIN_VOLUME = 0.0f;
const float MAX_VOLUME = 1.0f;

bool within(float value, float low, float high)
{
	return std::isfinite(value) && value >= low && value <= high;
}

// The field key of the table on the top of the stack when it is a number from low to high; a
// string of digits is no number here, as the scripts and the exact getters treat it.
std::optional<float> numberWithin(lua::LuaState* lua, const char* key, float low, float high)
{
	lua::LuaStackRestore restore(lua);
	lua->pushString(key);
	lua_rawget(lua->interpreter(), -2);
	if (lua->type(-1) != lua::LuaState::NUMBER || !within(lua->toNumber(-1), low, high))
		return std::nullopt;
	return lua->toNumber(-1);
}

// Why the entry on the top of the stack (its key below it) is no high score, or null.
const char* highscoreFault(lua::LuaState* lua)
{
	if (lua->type(-2) != lua::LuaState::STRING)
		return "its key is no level name";
	if (!lua->isTable(-1))
		return "it is no table of a score and stars";
	const std::optional<float> score = numberWithin(lua, "score", 0.0f, std::numeric_limits<float>::max());
	if (!score)
		return "its score is no number of zero or more";
	if (!lang::fitsIn<ScoreInteger>(*score))
		return "its score is more than the game can count";
	const std::optional<float> stars = numberWithin(lua, "stars", 0.0f, MAX_STARS);
	if (!stars || std::floor(*stars) != *stars)
		return "its stars are no whole number from 0 to 3";
	return nullptr;
}

// Why the setting on the top of the stack (its key below it) cannot be used, or null.
const char* settingFault(lua::LuaState* lua)
{
	if (lua->type(-2) != lua::LuaState::STRING)
		return nullptr;
	const std::string key = lua->toString(-2);
	if (key == "volume")
	{
		const bool volume = lua->type(-1) == lua::LuaState::NUMBER && within(lua->toNumber(-1), MIN_VOLUME, MAX_VOLUME);
		return volume ? nullptr : "it is no number from 0 to 1";
	}
	if (key == "audioEnabled" && !lua->isBoolean(-1))
		return "it is neither true nor false";
	return nullptr;
}

// The key on the top of the stack as the log names it; a copy is converted, so the walk goes on.
std::string keyText(lua::LuaState* lua)
{
	const lua::LuaState::Type type = lua->type(-1);
	if (type != lua::LuaState::STRING && type != lua::LuaState::NUMBER)
		return std::string("of type ") + lua::LuaState::toString(type);
	lua->push(-1);
	const std::string text = lua_tostring(lua->interpreter(), -1);
	lua->pop(1);
	return text;
}

// Takes the text of a save without keeping it, and stops its writer once the text is longer than
// a save may be: a table that holds another twice, at each of many levels, is written out whole
// at each, and would never end.
class SaveTextMeasure : public io::OutputStream
{
public:
	void write(const void*, int size) override
	{
		m_length += size;
		if (m_length > EncipheredFile::MAX_SAVE_BYTES)
			lang::throwError(io::IOException(lang::Format("its text is longer than the {0} bytes a save may hold", EncipheredFile::MAX_SAVE_BYTES)));
	}
	lang::String toString() const override { return "the text of a save"; }

private:
	long long m_length = 0;
};

// Why the entry on the top of the stack (its key below it) cannot be saved, in the words of the
// writer the game saves with, or empty: asked of the writer itself, so that what the check keeps
// is what the next save can write.
std::string unsavable(lua::LuaState* lua)
{
	lua::LuaStackRestore restore(lua);
	lua::LuaTable entry(lua);
	lua::LuaState::pushTable(lua->interpreter(), &entry);
	// The key, then the value, each now three places down; the pair goes into the entry's table.
	lua->push(-3);
	lua->push(-3);
	lua_rawset(lua->interpreter(), -3);
	SaveTextMeasure text;
	try
	{
		EncipheredFile::writeText(entry, &text);
		return "";
	}
	catch (const lang::Exception& e)
	{
		return std::string("it cannot be saved: ") + e.getMessage().format().c_str();
	}
}

// Walks the table and drops every entry that fault finds wrong or that cannot be saved.
void dropWrongEntries(lua::LuaTable& table, const lang::String& file, const char* (*fault)(lua::LuaState*))
{
	lua::LuaState* lua = table.state();
	if (!table.isBound() || !lua)
		return;
	lua::LuaStackRestore restore(lua);
	lua::LuaState::pushTable(lua->interpreter(), &table);
	const int tableIndex = lua->top();
	lua->pushNil();
	while (lua->next(tableIndex))
	{
		const char* const wrong = fault(lua);
		const std::string reason = wrong ? wrong : unsavable(lua);
		lua->pop(1);
		if (reason.empty())
			continue;
		lang::Debug::printf("Damaged entry %s of save file %s dropped (%s)\n", keyText(lua).c_str(), file.c_str(), reason.c_str());
		// Clearing a field that exists keeps the walk valid.
		lua->push(-1);
		lua->pushNil();
		lua->setTable(tableIndex);
	}
}

} // namespace

void SaveCheck::checkHighscores(lua::LuaTable& highscores, const lang::String& file)
{
	dropWrongEntries(highscores, file, highscoreFault);
}

void SaveCheck::checkSettings(lua::LuaTable& settings, const lang::String& file)
{
	dropWrongEntries(settings, file, settingFault);
}
