#include <world/GameLua.h>

#include <lang/Truncate.h>
#include <world/GameCenter.h>
#include <world/GameCenterRecords.h>
#include <world/ScriptTableKeys.h>

namespace {

// Percent at which an unlocked achievement is reported.
const float ACHIEVEMENT_COMPLETE = 100.0f;

bool isTrue(const lua::LuaTable& table, const char* key)
{
	return table.isBoolean(key) && table.getBoolean(key);
}

} // namespace

GameLua::GameCenterRelease::~GameCenterRelease()
{
	if (world->m_gameCenter)
		world->m_gameCenter->detachWorld();
}

lua::LuaTable GameLua::gameCenterTable(const char* key) const
{
	if (!isTable("gameCenter") || !getTable("gameCenter").isTable(key))
		return lua::LuaTable();
	return getTable("gameCenter").getTable(key);
}

void GameLua::setGameCenter(GameCenter* gameCenter)
{
	m_gameCenter = gameCenter;
}

void GameLua::postHighscore(const lang::String& leaderboard, float score)
{
	if (m_gameCenter && isTrue(*this, "gameCenterEnabled"))
		m_gameCenter->postHighscore(leaderboard, score);
}

void GameLua::unlockAchievement(const lang::String& achievement, const lang::String&)
{
	if (!m_gameCenter || !isTrue(*this, "gameCenterEnabled"))
		return;
	const lua::LuaTable achievements = gameCenterTable("achievements");
	if (!achievements.isBound() || !achievements.isTable(achievement))
		return;
	const lua::LuaTable record = achievements.getTable(achievement);
	if (record.isBoolean("completed") && !record.getBoolean("completed"))
		m_gameCenter->unlockAchievement(achievement, ACHIEVEMENT_COMPLETE);
}

void GameLua::initGameCenter()
{
	if (m_gameCenter)
		m_gameCenter->init();
}

void GameLua::getLeaderboardScoresForRange(const lang::String& leaderboard, float first, float count)
{
	lua::LuaTable leaderboards = gameCenterTable("leaderboards");
	if (!m_gameCenter || !leaderboards.isBound() || !leaderboards.isTable(leaderboard))
		return;
	leaderboards.getTable(leaderboard).setBoolean("loading", true);
	m_gameCenter->getLeaderboardScoresForRange(leaderboard, lang::truncateTo<int>(first), lang::truncateTo<int>(count));
}

void GameLua::showLeaderboards()
{
	if (m_gameCenter)
		m_gameCenter->showLeaderboards();
}

void GameLua::showAchievements()
{
	if (m_gameCenter)
		m_gameCenter->showAchievement();
}

void GameLua::prepareGameCenter(GameCenter* gameCenter, const lang::String& playerID, const lang::String& alias)
{
	m_gameCenter = gameCenter;
	setBoolean("gameCenterEnabled", true);
	lua::LuaTable table(state());
	table.setTable("achievements", lua::LuaTable(state()));
	table.setTable("leaderboards", lua::LuaTable(state()));
	table.setString("localPlayerID", playerID);
	table.setString("localPlayerAlias", alias);
	setTable("gameCenter", table);
	getLeaderboardCategories();
	getAchievements();
	callScript("enableGameCenter");
}

void GameLua::hideLoadingInitGameCenter()
{
	callScript("hideLoadingInitGameCenter");
}

void GameLua::removeGameCenter()
{
	setBoolean("gameCenterEnabled", false);
	setNumber("localPlayerID", 0);
	callScript("disableGameCenter");
}

void GameLua::removeSupport()
{
	setBoolean("gameCenterSupported", false);
	removeGameCenter();
}

void GameLua::stopMainMenuAnimation(const lang::String& screen)
{
	if (screen == lang::String("leaderboard"))
		callScript("hideLoadingLeaderboards");
	else if (screen == lang::String("achievement"))
		callScript("hideLoadingAchievements");
}

void GameLua::setLeaderboardCategories(lang::Hashtable<lang::String, lang::String>& categories)
{
	lua::LuaTable leaderboards = gameCenterTable("leaderboards");
	if (!leaderboards.isBound())
		return;
	leaderboards.setBoolean("loading", false);
	for (auto& category : categories)
	{
		lua::LuaTable record(state());
		record.setString("title", category.value);
		record.setBoolean("posted", false);
		leaderboards.setTable(category.key, record);
		getLeaderboardScoresForRange(category.key, 1, 1);
	}
}

void GameLua::setLeaderboardScores(lang::Array<ScoreData> scores, const lang::String& category, int range, int localRank, int localScore)
{
	lua::LuaTable leaderboards = gameCenterTable("leaderboards");
	if (!leaderboards.isBound() || !leaderboards.isTable(category))
		return;
	lua::LuaTable record = leaderboards.getTable(category);
	record.setNumber("range", static_cast<float>(range));
	record.setNumber("localRank", static_cast<float>(localRank));
	record.setNumber("localScore", static_cast<float>(localScore));
	record.setBoolean("loading", false);
	for (int i = 0; i < scores.size(); ++i)
	{
		const ScoreData& score = scores[i];
		lua::LuaTable entry(state());
		entry.setString("playerID", score.playerID);
		entry.setString("alias", score.alias);
		entry.setNumber("rank", static_cast<float>(score.rank));
		entry.setNumber("score", static_cast<float>(score.score));
		entry.setString("formattedValue", score.formattedValue);
		entry.setString("category", score.category);
		record.setTable(score.rank, entry);
	}
	leaderboards.setTable(category, record);
	if (isTrue(getTable("gameCenter"), "safeToRefresh"))
		callScript("setIndicatorPositions");
}

void GameLua::setAchievements(lang::Array<AchievementData> achievements)
{
	lua::LuaTable records = gameCenterTable("achievements");
	if (!records.isBound())
		return;
	for (int i = 0; i < achievements.size(); ++i)
	{
		const AchievementData& achievement = achievements[i];
		if (!records.isTable(achievement.id))
			continue;
		lua::LuaTable record = records.getTable(achievement.id);
		record.setBoolean("completed", achievement.completed);
		record.setBoolean("hidden", achievement.hidden);
		record.setNumber("percentComplete", achievement.percentComplete);
	}
	records.setBoolean("loading", false);
}

void GameLua::setAchievementMetaData(lang::Array<AchievementData> achievements)
{
	lua::LuaTable records = gameCenterTable("achievements");
	if (records.isBound())
	{
		// The game's own definitions, each a table with its "id" and "icon".
		lua::LuaTable definitions;
		lang::Array<lang::String> names;
		if (isTable("achievements"))
		{
			definitions = getTable("achievements");
			names = scriptTableStringKeys(definitions);
		}
		for (int i = 0; i < achievements.size(); ++i)
		{
			const AchievementData& achievement = achievements[i];
			lua::LuaTable record(state());
			record.setString("title", achievement.title);
			record.setString("achievedText", achievement.achievedText);
			record.setBoolean("completed", false);
			for (int j = 0; j < names.size(); ++j)
			{
				if (!definitions.isTable(names[j]))
					continue;
				const lua::LuaTable definition = definitions.getTable(names[j]);
				if (definition.isString("id") && definition.getString("id") == achievement.id)
				{
					if (definition.isString("icon"))
						record.setString("icon", definition.getString("icon"));
					break;
				}
			}
			records.setTable(achievement.id, record);
		}
	}
	if (m_gameCenter)
		m_gameCenter->loadAchievements();
}

void GameLua::highScoresPosted(const lang::String& leaderboard)
{
	lua::LuaTable leaderboards = gameCenterTable("leaderboards");
	if (leaderboards.isBound() && leaderboards.isTable(leaderboard))
		leaderboards.getTable(leaderboard).setBoolean("posted", true);
	if (!isTable("leaderboards") || !m_gameCenter)
		return;
	// Only the game's own leaderboards are read back.
	const lua::LuaTable definitions = getTable("leaderboards");
	const lang::Array<lang::String> names = scriptTableStringKeys(definitions);
	for (int i = 0; i < names.size(); ++i)
	{
		if (definitions.isString(names[i]) && definitions.getString(names[i]) == leaderboard)
		{
			getLeaderboardScoresForRange(leaderboard, 1, 1);
			return;
		}
	}
}

void GameLua::showAchievementPopUp(const lang::String& achievement)
{
	lua::LuaTable achievements = gameCenterTable("achievements");
	if (achievements.isBound() && achievements.isTable(achievement))
		achievements.getTable(achievement).setBoolean("completed", true);
	callScript("showAchievementPopUp", achievement);
}

void GameLua::getLeaderboardCategories()
{
	lua::LuaTable leaderboards = gameCenterTable("leaderboards");
	if (leaderboards.isBound())
		leaderboards.setBoolean("loading", true);
	if (m_gameCenter)
		m_gameCenter->loadLeaderboardCategories();
}

void GameLua::getAchievements()
{
	lua::LuaTable achievements = gameCenterTable("achievements");
	if (achievements.isBound())
		achievements.setBoolean("loading", true);
	if (m_gameCenter)
		m_gameCenter->loadAchievementMetaData();
}
