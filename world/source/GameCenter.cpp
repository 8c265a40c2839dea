#include <world/GameCenter.h>

#include <lang/Debug.h>
#include <lang/Hashtable.h>
#include <lang/Truncate.h>
#include <platform/Application.h>
#include <world/GameCenterRecords.h>
#include <world/GameLua.h>
#include <world/ScriptTableKeys.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace {

std::string text(const lang::String& value)
{
	return std::string(value.c_str(), static_cast<size_t>(value.length()));
}

lang::String scriptText(const std::string& value)
{
	return lang::String(value.c_str(), static_cast<int>(value.size()));
}

// Whether a system version ("major.minor...") is at least major.minor, compared as numbers. The
// application controller's comparison is not used: it would tie the game world to the
// application hooks.
bool versionAtLeast(const std::string& version, int major, int minor)
{
	int versionMajor = 0;
	int versionMinor = 0;
	if (std::sscanf(version.c_str(), "%d.%d", &versionMajor, &versionMinor) < 1)
		return false;
	return versionMajor > major || (versionMajor == major && versionMinor >= minor);
}

// Whether a goes before b when runs of digits count as numbers: "level_2" before "level_10".
bool naturallyBefore(const std::string& a, const std::string& b)
{
	const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
	size_t i = 0;
	size_t j = 0;
	while (i < a.size() && j < b.size())
	{
		if (!digit(a[i]) || !digit(b[j]))
		{
			if (a[i] != b[j])
				return a[i] < b[j];
			++i;
			++j;
			continue;
		}
		size_t endA = i;
		size_t endB = j;
		while (endA < a.size() && digit(a[endA]))
			++endA;
		while (endB < b.size() && digit(b[endB]))
			++endB;
		// Of two numbers the one of fewer digits is the smaller.
		const std::string x = a.substr(i, endA - i);
		const std::string y = b.substr(j, endB - j);
		if (x.size() != y.size())
			return x.size() < y.size();
		if (x != y)
			return x < y;
		i = endA;
		j = endB;
	}
	return a.size() - i < b.size() - j;
}

// The script table's keys in the order a player reads them: the game's levels in level order.
std::vector<std::string> inNaturalOrder(const lang::Array<lang::String>& keys)
{
	std::vector<std::string> names;
	for (int i = 0; i < keys.size(); ++i)
		names.push_back(text(keys[i]));
	std::sort(names.begin(), names.end(), naturallyBefore);
	return names;
}

int clampToInt(int64_t value)
{
	if (value > std::numeric_limits<int>::max())
		return std::numeric_limits<int>::max();
	if (value < std::numeric_limits<int>::min())
		return std::numeric_limits<int>::min();
	return static_cast<int>(value);
}

} // namespace

GameCenter::GameCenter(platform::Application& application, GameLua* world, gr::Context* context) :
	m_application(application),
	m_service(application.gameService()),
	m_world(world),
	m_orientation(context->orientation()),
	m_observing(false),
	m_self(std::make_shared<GameCenter*>(this))
{
	if (isGameCenterAvailable(application))
	{
		m_service.setAuthenticationObserver([self = std::weak_ptr<GameCenter*>(m_self)](bool authenticated) {
			const std::shared_ptr<GameCenter*> alive = self.lock();
			if (alive && (*alive)->m_world)
				(*alive)->authenticationChanged(authenticated);
		});
		m_observing = true;
	}
	m_world->setGameCenter(this);
}

GameCenter::~GameCenter()
{
	stopObserving();
	if (m_world)
		m_world->setGameCenter(nullptr);
}

bool GameCenter::isGameCenterAvailable(const platform::Application& application)
{
	return application.options().gameService != "off"
		&& versionAtLeast(application.systemVersion(), MIN_SYSTEM_MAJOR, MIN_SYSTEM_MINOR);
}

// Wraps a handler for a service completion: it runs only while this object and its game world
// are there, and an injected error replaces the service's answer and empties its results.
template <class Handler>
auto GameCenter::completion(Handler handler)
{
	return [self = std::weak_ptr<GameCenter*>(m_self), handler](platform::GameServiceError serviceError, const auto&... results) {
		const std::shared_ptr<GameCenter*> alive = self.lock();
		if (!alive || !(*alive)->m_world)
			return;
		GameCenter& gameCenter = **alive;
		const std::optional<Error> error = gameCenter.takeError(serviceError);
		if (error && serviceError == platform::GameServiceError::None)
			handler(gameCenter, error, std::decay_t<decltype(results)>()...);
		else
			handler(gameCenter, error, results...);
	};
}

std::optional<GameCenter::Error> GameCenter::takeError(platform::GameServiceError error)
{
	if (m_injectedError)
	{
		const std::optional<Error> injected = m_injectedError;
		m_injectedError.reset();
		return injected;
	}
	switch (error)
	{
	case platform::GameServiceError::None:
		return std::nullopt;
	case platform::GameServiceError::Cancelled:
		return Error{Error::SERVICE, Error::CANCELLED, "The player did not sign in."};
	case platform::GameServiceError::NotSupported:
		return Error{Error::SERVICE, Error::NOT_SUPPORTED, "The game service is not supported on this device."};
	case platform::GameServiceError::NotAuthenticated:
		return Error{Error::SERVICE, Error::NOT_AUTHENTICATED, "The player is not signed in."};
	case platform::GameServiceError::StoreFailed:
		break;
	}
	return Error{Error::SERVICE, Error::UNKNOWN, "The game service could not keep the result."};
}

// Requests need a signed-in player, and a game world to hand their results to.
bool GameCenter::ready() const
{
	return m_world && m_service.authenticated();
}

void GameCenter::firstInit()
{
	authenticate(false);
}

void GameCenter::init()
{
	authenticate(true);
}

void GameCenter::authenticate(bool showErrors)
{
	m_service.authenticate(completion([showErrors](GameCenter& gameCenter, const std::optional<Error>& error) {
		if (error)
		{
			gameCenter.showAlert(*error, showErrors);
			lang::Debug::printf("authenticateWithCompletionHandler failed!\n");
		}
		else
			lang::Debug::printf("authenticateWithCompletionHandler succeeded!\n");
	}));
}

void GameCenter::authenticationChanged(bool authenticated)
{
	if (authenticated)
	{
		lang::Debug::printf("authentication changed to enabled!\n");
		enableGameCenter();
		return;
	}
	lang::Debug::printf("authentication changed to disabled!\n");
	m_world->removeGameCenter();
	m_world->hideLoadingInitGameCenter();
}

void GameCenter::enableGameCenter()
{
	if (!ready())
		return;
	m_world->prepareGameCenter(this, scriptText(m_service.playerID()), scriptText(m_service.alias()));
	m_world->hideLoadingInitGameCenter();
}

void GameCenter::showAchievement()
{
	showScreen("achievement");
}

void GameCenter::showLeaderboards()
{
	showScreen("leaderboard");
}

void GameCenter::showScreen(const char* screen)
{
	if (!m_world)
		return;
	if (!m_service.authenticated())
	{
		// The buttons of the screens answer also without the service: they say why nothing shows.
		m_world->stopMainMenuAnimation(scriptText(screen));
		const char* const reason = isGameCenterAvailable(m_application) ? "The player is not signed in." : "This device has no game service.";
		m_application.showAlert(platform::Alert{"Game service not available", reason, {"OK"}, 0}, [](int) {});
		return;
	}
	declareLeaderboards();
	const std::string name = screen;
	m_service.loadLeaderboards(completion([name](GameCenter& gameCenter, const std::optional<Error>& error,
		const std::vector<platform::LeaderboardInfo>&) {
		gameCenter.m_world->stopMainMenuAnimation(scriptText(name));
		if (error)
			gameCenter.showAlert(*error, true);
		else if (name == "leaderboard")
			gameCenter.m_service.showLeaderboards([](platform::GameServiceError) {});
		else
			gameCenter.m_service.showAchievements([](platform::GameServiceError) {});
	}));
}

void GameCenter::loadLeaderboardCategories()
{
	if (!ready())
		return;
	declareLeaderboards();
	m_service.loadLeaderboards(completion([](GameCenter& gameCenter, const std::optional<Error>& error,
		const std::vector<platform::LeaderboardInfo>& leaderboards) {
		if (error)
		{
			lang::Debug::printf("Error in loading leaderboardCategories.\n");
			return;
		}
		lang::Hashtable<lang::String, lang::String> categories;
		for (const platform::LeaderboardInfo& leaderboard : leaderboards)
			categories.put(scriptText(leaderboard.id), scriptText(leaderboard.title));
		gameCenter.m_world->setLeaderboardCategories(categories);
	}));
}

void GameCenter::getLeaderboardScoresForRange(const lang::String& leaderboard, int first, int count)
{
	if (!ready())
		return;
	const lang::String category = leaderboard;
	m_service.loadScores(text(leaderboard), first, count, completion([category](GameCenter& gameCenter, const std::optional<Error>&,
		const platform::LeaderboardPage& page) {
		// A failed load still ends the loading, with no entries.
		lang::Array<GameLua::ScoreData> scores;
		for (const platform::GameScore& entry : page.entries)
		{
			GameLua::ScoreData score;
			score.playerID = scriptText(entry.playerID);
			score.rank = entry.rank;
			score.score = clampToInt(entry.value);
			scores.add(score);
		}
		gameCenter.m_world->setLeaderboardScores(scores, category, page.maxRange, page.localPlayer.rank,
			clampToInt(page.localPlayer.value));
	}));
}

void GameCenter::postHighscore(const lang::String& leaderboard, double score)
{
	if (!ready())
		return;
	lang::Debug::printf("GameCenter : postHighscore: %s, value: %f\n", leaderboard.c_str(), score);
	const lang::String category = leaderboard;
	m_service.reportScore(text(leaderboard), lang::truncateTo<int64_t>(score), completion([category](GameCenter& gameCenter,
		const std::optional<Error>& error) {
		if (error)
		{
			lang::Debug::printf("reportScoreWithCompletionHandler failed for %s!\n", category.c_str());
			return;
		}
		lang::Debug::printf("reportScoreWithCompletionHandler succeeded for %s!\n", category.c_str());
		gameCenter.m_world->highScoresPosted(category);
	}));
}

void GameCenter::unlockAchievement(const lang::String& achievement, float percent)
{
	if (!ready())
		return;
	lang::Debug::printf("unlockAchievement: %s\n", achievement.c_str());
	const lang::String id = achievement;
	m_service.reportAchievement(text(achievement), percent, completion([id](GameCenter& gameCenter, const std::optional<Error>& error) {
		if (error)
		{
			lang::Debug::printf("reportAchievementWithCompletionHandler failed for %s!\n", id.c_str());
			return;
		}
		lang::Debug::printf("reportAchievementWithCompletionHandler succeeded for %s!\n", id.c_str());
		gameCenter.m_world->showAchievementPopUp(id);
	}));
}

void GameCenter::loadAchievementMetaData()
{
	if (!ready())
		return;
	declareAchievements();
	m_service.loadAchievementDescriptions(completion([](GameCenter& gameCenter, const std::optional<Error>&,
		const std::vector<platform::AchievementInfo>& descriptions) {
		lang::Array<GameLua::AchievementData> achievements;
		for (const platform::AchievementInfo& description : descriptions)
		{
			GameLua::AchievementData achievement;
			achievement.id = scriptText(description.id);
			achievement.title = scriptText(description.title);
			achievement.achievedText = scriptText(description.achievedDescription);
			achievements.add(achievement);
		}
		if (achievements.size() == 0)
			gameCenter.loadAchievements();
		else
			gameCenter.m_world->setAchievementMetaData(achievements);
	}));
}

void GameCenter::loadAchievements()
{
	if (!ready())
		return;
	m_service.loadAchievements(completion([](GameCenter& gameCenter, const std::optional<Error>&,
		const std::vector<platform::GameAchievement>& progress) {
		lang::Array<GameLua::AchievementData> achievements;
		for (const platform::GameAchievement& entry : progress)
		{
			GameLua::AchievementData achievement;
			achievement.id = scriptText(entry.id);
			achievement.completed = entry.completed();
			achievement.percentComplete = static_cast<float>(entry.percent);
			// Hidden is a property of the declared achievement, not of the player's progress.
			for (const platform::AchievementInfo& declared : gameCenter.m_achievements)
				if (declared.id == entry.id)
					achievement.hidden = declared.hidden;
			achievements.add(achievement);
		}
		gameCenter.m_world->setAchievements(achievements);
	}));
}

void GameCenter::showAlert(const Error& error, bool show)
{
	if (error.domain == Error::SERVICE)
	{
		if (error.code == Error::NOT_SUPPORTED)
		{
			stopObserving();
			m_world->removeSupport();
			return;
		}
		if (error.code == Error::CANCELLED || error.code == Error::AUTHENTICATION_IN_PROGRESS)
			return;
	}
	if (show)
		m_application.showAlert(platform::Alert{error.description, "", {"OK"}, 0}, [](int) {});
}

void GameCenter::stopObserving()
{
	if (!m_observing)
		return;
	m_service.setAuthenticationObserver(nullptr);
	m_observing = false;
}

// The definitions map a name to each leaderboard id; the board's title is the one their table
// "titles" gives the name, else the name itself.
void GameCenter::declareLeaderboards()
{
	std::vector<platform::LeaderboardInfo> leaderboards;
	if (m_world->isTable("leaderboards"))
	{
		const lua::LuaTable definitions = m_world->getTable("leaderboards");
		const bool titled = definitions.isTable("titles");
		const lua::LuaTable titles = titled ? definitions.getTable("titles") : lua::LuaTable();
		for (const std::string& name : inNaturalOrder(scriptTableStringKeys(definitions)))
		{
			if (!definitions.isString(name.c_str()))
				continue;
			const bool hasTitle = titled && titles.isString(name.c_str());
			leaderboards.push_back({text(definitions.getString(name.c_str())), hasTitle ? text(titles.getString(name.c_str())) : name});
		}
	}
	m_service.declareLeaderboards(leaderboards);
}

// Each definition is a table with its "id", and optionally "title", "achievedText" and "hidden".
void GameCenter::declareAchievements()
{
	m_achievements.clear();
	if (m_world->isTable("achievements"))
	{
		const lua::LuaTable definitions = m_world->getTable("achievements");
		for (const std::string& name : inNaturalOrder(scriptTableStringKeys(definitions)))
		{
			if (!definitions.isTable(name.c_str()) || !definitions.getTable(name.c_str()).isString("id"))
				continue;
			const lua::LuaTable definition = definitions.getTable(name.c_str());
			platform::AchievementInfo achievement;
			achievement.id = text(definition.getString("id"));
			achievement.title = definition.isString("title") ? text(definition.getString("title")) : achievement.id;
			achievement.achievedDescription = definition.isString("achievedText") ? text(definition.getString("achievedText")) : "";
			achievement.hidden = definition.isBoolean("hidden") && definition.getBoolean("hidden");
			m_achievements.push_back(achievement);
		}
	}
	m_service.declareAchievements(m_achievements);
}
