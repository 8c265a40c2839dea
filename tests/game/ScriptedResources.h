#ifndef TESTS_GAME_SCRIPTEDRESOURCES_H
#define TESTS_GAME_SCRIPTEDRESOURCES_H

#include "GameTestFiles.h"
#include "lua/ScriptRunner.h"
#include "support/RecordingContext.h"
#include <game/LuaResources.h>
#include <lang/Throwable.h>
#include <lua/LuaState.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

/**
 * The script table "res" on a real Lua state over a recording device, with the resource
 * directory set to a fresh temporary directory. Scripts run as in the game; results come back
 * through globals.
 */
class ScriptedResources : public ::testing::Test
{
protected:
	RecordingContext context;
	TempDir dir;
	lang::Ptr<lua::LuaState> lua = new lua::LuaState;
	lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, &context);
	game::Resources& registry = *res->getResources();

	ScriptedResources()									{ registry.setPath(dir.file("").c_str()); }
	~ScriptedResources() override						{ res = nullptr; lua = nullptr; }

	void run(const std::string& script)					{ runScript(*lua, script.c_str()); }

	/** The message of whatever the script throws; "no exception" when it runs. */
	std::string error(const std::string& script)
	{
		try
		{
			run(script);
		}
		catch (const lang::Throwable& e)
		{
			return e.getMessage().format().c_str();
		}
		return "no exception";
	}

	/** The numbers an expression list gives, in order. */
	std::vector<float> numbers(const std::string& expressions)
	{
		run("result = {" + expressions + "}");
		const lua::LuaTable result = lua->globals().getTable("result");
		std::vector<float> values;
		for (int i = 1; result.isNumber(i); ++i)
			values.push_back(result.getNumber(i));
		return values;
	}

	std::string text(const std::string& expression)
	{
		run("result = " + expression);
		return lua->globals().getString("result").c_str();
	}

	bool boolean(const std::string& expression)
	{
		run("result = " + expression);
		return lua->globals().getBoolean("result");
	}

	/** A sprite sheet file whose image is the named file beside it. */
	void writeSheet(const std::string& name, const std::string& image, const std::vector<SpriteRecord>& sprites)
	{
		dir.write(name, singleChunkFile("SPRT", sheetBody(image, sprites)));
	}

	struct Part
	{
		std::string sprite;
		int x, y;
	};

	struct Composite
	{
		std::string name;
		std::vector<Part> parts;
	};

	void writeComposites(const std::string& name, const std::vector<Composite>& composites)
	{
		ChunkWriter body;
		body.int16(static_cast<int>(composites.size()));
		for (const Composite& c : composites)
		{
			body.utf(c.name).int16(static_cast<int>(c.parts.size()));
			for (const Part& p : c.parts)
				body.utf(p.sprite).int16(p.x).int16(p.y);
		}
		dir.write(name, singleChunkFile("COMP", body));
	}

	/** Images whose names end with suffix among the draws so far, and the draws' rectangles. */
	std::vector<std::vector<float>> drawsOf(const std::string& suffix) const
	{
		std::vector<std::vector<float>> rects;
		for (const ImageDraw& d : context.imageDraws)
			if (d.image.size() >= suffix.size() && d.image.compare(d.image.size() - suffix.size(), suffix.size(), suffix) == 0)
				rects.push_back({d.x, d.y, d.w, d.h});
		return rects;
	}
};

#endif
