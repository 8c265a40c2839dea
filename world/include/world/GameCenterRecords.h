#ifndef WORLD_GAMECENTERRECORDS_H
#define WORLD_GAMECENTERRECORDS_H

#include <lang/String.h>
#include <world/GameLua.h>

/** One leaderboard entry passed from the game service to the game world; a plain value. */
struct GameLua::ScoreData
{
	lang::String playerID;
	lang::String alias;
	int rank = 0;
	int score = 0;
	lang::String formattedValue;
	lang::String category;
};

/** One achievement passed from the game service to the game world; a plain value. */
struct GameLua::AchievementData
{
	lang::String id;
	lang::String title;
	lang::String achievedText;
	bool completed = false;
	bool hidden = false;
	// 0 to 100.
	float percentComplete = 0;
};

#endif
