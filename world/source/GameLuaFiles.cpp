#include <world/GameLua.h>

#include <framework/App.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <io/ByteArrayInputStream.h>
#include <io/ByteArrayOutputStream.h>
#include <io/DataCorruptedException.h>
#include <io/FileInputStream.h>
#include <io/FileOutputStream.h>
#include <io/IOException.h>
#include <io/PathName.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <world/EncipheredFile.h>
#include <world/SaveFile.h>
#include <world/encrypt.h>

namespace {

const char* const SETTINGS_FILE = "settings.lua";
const char* const SETTINGS_TABLE = "settings";
const char* const UNREAD_SAVES_TABLE = "unreadSaves";

// What a save the game cannot use is to the player.
const char* lossOf(const lang::String& name)
{
	return name == lang::String(SETTINGS_FILE) ? "the settings start from their defaults" : "its progress starts over";
}

// A save the game cannot use, logged with why, is set aside: the next save makes a new file
// instead of replacing what the old one held.
void setAsideUnusable(const lang::String& name, const lang::String& path, bool damaged, const lang::String& reason)
{
	if (damaged)
		lang::Debug::printf("Damaged save file %s left unread (%s); %s\n", name.c_str(), reason.c_str(), lossOf(name));
	else
		lang::Debug::printf("Save file %s cannot be read (%s); %s\n", name.c_str(), reason.c_str(), lossOf(name));
	try
	{
		const lang::String aside = SaveFile::setAside(path, damaged ? "damaged" : "unreadable");
		lang::Debug::printf("Save file %s set aside as %s; the next save starts a new file\n", name.c_str(), aside.c_str());
	}
	catch (const lang::Exception& e)
	{
		lang::Debug::printf("Save file %s left in place (%s); the next save replaces it\n", name.c_str(), e.getMessage().format().c_str());
	}
}

void reportLoadFailure(const lang::String& name, const lang::Exception& failure)
{
	lang::Debug::printf("Unable to load lua file %s\n", name.c_str());
	failure.showExceptionDialog();
}

} // namespace

void GameLua::readShippedFile(const lang::String& path, io::ByteArrayInputStream& plain) const
{
	io::FileInputStream file(path);
	EncipheredFile::decipher(m_dataKey, "data", EncipheredFile::readAll(&file), plain);
}

void GameLua::loadLuaFile(const lang::String& name, const lang::String& tableName, bool intoDefinitions, bool asBlocks)
{
	try
	{
		const lang::String path = m_app->path(name);
		io::ByteArrayInputStream plain;
		readShippedFile(path, plain);
		if (tableName.isEmpty())
		{
			read(&plain, path);
			return;
		}
		lua::LuaTable table(state());
		table.read(&plain, path);
		if (!intoDefinitions)
			setTable(tableName, table);
		else if (!asBlocks)
			m_blockTable.setTable(tableName, table);
		else
			addToBlocksTable(table);
	}
	catch (const lang::Exception& e)
	{
		reportLoadFailure(name, e);
	}
}

void GameLua::compile(const lang::String& path)
{
	try
	{
		io::ByteArrayInputStream plain;
		readShippedFile(path, plain);
		state()->compile(&plain, plain.available(), path, this);
		call("updateValues");
		m_scriptsReady = true;
		m_compileFailure = lang::String("");
	}
	catch (const lang::Exception& e)
	{
		e.showExceptionDialog();
		m_compileFailure = e.getMessage().format();
		logAnalyticsEventWithParam("Loading gamelogic failed", "Reason", e.getMessage().format());
	}
}

int GameLua::loadLuaFileToObject(lua::LuaState* lua)
{
	const lang::String fileName = lua->toString(1);
	lua::LuaTable target = lua->toTable(2);
	const lang::String key = lua->toString(3);
	try
	{
		const lang::String path = m_app->path(fileName);
		io::ByteArrayInputStream plain;
		readShippedFile(path, plain);
		const lang::Ptr<lua::LuaObject> object = new lua::LuaObject(lua);
		object->setTable("gamelua", *this);
		object->read(&plain, path);
		target.setTable(key, *object);
	}
	catch (const lang::Exception& e)
	{
		reportLoadFailure(fileName, e);
	}
	return 0;
}

// The save key is tried first; the device key reads files that only it makes readable, or
// whose save-key text fails to run. A plain file is never read. A missing file is a first start;
// any other file that gives nothing is unreadable or damaged, and the game goes on without it.
lua::LuaTable GameLua::loadPersistentFile(const lang::String& name)
{
	try
	{
		const lang::String path = io::PathName(io::AppDataInputStream::rootPath(), name).toString();
		if (SaveFile::missing(path))
			return lua::LuaTable(state());
		const lang::String unreadable = SaveFile::unreadable(path);
		if (!unreadable.isEmpty())
		{
			setAsideUnusable(name, path, false, unreadable);
		}
		else
		{
			try
			{
				io::AppDataInputStream file(name);
				return EncipheredFile::readSave(state(), &file, name, m_saveKey, m_deviceKey);
			}
			catch (const io::DataCorruptedException& e)
			{
				setAsideUnusable(name, path, true, e.getMessage().format());
			}
			catch (const lang::Exception& e)
			{
				setAsideUnusable(name, path, false, e.getMessage().format());
			}
		}
	}
	catch (const lang::Exception& e)
	{
		// No path to the file: nothing can be set aside.
		lang::Debug::printf("Save file %s cannot be read (%s); %s\n", name.c_str(), e.getMessage().format().c_str(), lossOf(name));
	}
	noteUnreadSave(name);
	return lua::LuaTable(state());
}

// The scripts tell the player of the saves listed in "unreadSaves"; the log has the reasons.
void GameLua::noteUnreadSave(const lang::String& name) noexcept
{
	try
	{
		if (!isTable(UNREAD_SAVES_TABLE))
			setTable(UNREAD_SAVES_TABLE, lua::LuaTable(state()));
		lua::LuaTable unread = getTable(UNREAD_SAVES_TABLE);
		unread.setString(unread.size() + 1, name);
	}
	catch (const lang::Exception& e)
	{
		lang::Debug::printf("Save file %s could not be listed as unread: %s\n", name.c_str(), e.getMessage().format().c_str());
	}
}

void GameLua::saveLuaFile(const lang::String& name, const lang::String& tableName, bool appData)
{
	if (!isTable(tableName))
		return;
	const lua::LuaTable table = getTable(tableName);
	if (appData)
	{
		io::ByteArrayOutputStream text;
		EncipheredFile::writeText(table, &text);
		lang::Array<unsigned char> ciphertext;
		// A plain persistent file would never be read back: keep the old file instead.
		if (!encrypt(m_saveKey, text.array(), ciphertext))
			lang::throwError(io::IOException(lang::Format("Failed to encipher {0}", name)));
		io::AppDataOutputStream out(name);
		out.write(ciphertext.begin(), ciphertext.size());
		out.close();
	}
	else
	{
		io::FileOutputStream out(m_app->path(name));
		EncipheredFile::writeText(table, &out);
		out.close();
	}
}

bool GameLua::checkForLuaFile(const lang::String& name)
{
	try
	{
		io::FileInputStream file(m_app->path(name));
		return true;
	}
	catch (const lang::Exception&)
	{
		return false;
	}
}

void GameLua::addToBlocksTable(lua::LuaTable& source)
{
	lua::LuaState* luaState = state();
	lua::LuaTable blocks = m_blockTable.getTable("blocks");
	lua::LuaStackRestore restore(luaState);
	lua::LuaState::pushTable(luaState->interpreter(), &source);
	luaState->pushNil();
	while (luaState->next(-2))
	{
		if (luaState->type(-2) == lua::LuaState::STRING && luaState->isTable(-1))
		{
			const lang::String group = luaState->toString(-2);
			luaState->pushNil();
			while (luaState->next(-2))
			{
				if (luaState->type(-2) == lua::LuaState::NUMBER && luaState->isTable(-1))
				{
					lua::LuaTable entry = luaState->toTable(-1);
					entry.setNumber("index", luaState->toNumber(-2));
					entry.setString("group", group);
					blocks.setTable(entry.getString("definition"), entry);
				}
				luaState->pop(1);
			}
		}
		luaState->pop(1);
	}
}

// Settings are saved when the game world goes, when the game quits and when it is deactivated;
// a failure there has no caller to go to, so it is reported and the old file stays.
void GameLua::saveSettings() noexcept
{
	try
	{
		saveLuaFile(SETTINGS_FILE, SETTINGS_TABLE, true);
	}
	catch (const lang::Exception& e)
	{
		lang::Debug::printf("Unable to save lua file %s: %s\n", SETTINGS_FILE, e.getMessage().format().c_str());
	}
}
