#ifndef PLATFORM_GAMESERVICE_H
#define PLATFORM_GAMESERVICE_H

#include <platform/GameServiceStore.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

class Application;

// Why a game service request failed.
enum class GameServiceError
{
	None,
	Cancelled,			// the player declined to sign in
	NotSupported,		// no game service on this device
	NotAuthenticated,	// the request needs a signed-in player
	StoreFailed,		// the result could not be saved (it holds until the application ends)
};

// A leaderboard as the game declares it, a plain value.
struct LeaderboardInfo
{
	std::string id;
	std::string title;
};

// An achievement as the game declares it, a plain value.
struct AchievementInfo
{
	std::string id;
	std::string title;
	std::string achievedDescription;
	bool hidden = false;
};

// A range of a leaderboard's ranking, a plain value: the entries asked for, the number of entries
// the board holds, and the local player's own entry (rank 0 when the player has none).
struct LeaderboardPage
{
	std::vector<GameScore> entries;
	int maxRange = 0;
	GameScore localPlayer;
};

// The game service of this device, local and offline: one local player signs in, reports scores
// and achievement progress, and reads back the rankings, which are kept in a store file so that
// they survive restarts. Every completion runs later on the main thread, through the application's
// main queue, as an online service's answer would; requests are made on the main thread. Owned by
// the application (Application::gameService); pending completions are dropped with it.
class GameService
{
public:
	// How the sign-in goes.
	enum class SignIn
	{
		Succeeds,
		Cancelled,
		Unsupported,
	};

	// The screens are shown as alerts of the application, whose main queue carries the
	// completions; the store file is created on the first change.
	GameService(Application& application, const std::string& storePath, const std::string& alias, SignIn signIn);
	~GameService();
	GameService(const GameService&) = delete;
	GameService& operator=(const GameService&) = delete;

	// The stable identifier of a player by alias.
	static std::string playerIDOf(const std::string& alias);

	// Called on the main thread with true when the local player signs in and false when they sign
	// out; null stops the calls.
	void setAuthenticationObserver(std::function<void(bool authenticated)> observer);
	// Signs the local player in as the sign-in setting says; signing in again succeeds at once.
	void authenticate(std::function<void(GameServiceError)> done);
	void signOut();
	bool authenticated() const { return m_authenticated; }
	// Empty until signed in.
	std::string playerID() const;
	std::string alias() const;

	// The game's leaderboards and achievements, for titles and descriptions.
	void declareLeaderboards(const std::vector<LeaderboardInfo>& leaderboards) { m_leaderboards = leaderboards; }
	void declareAchievements(const std::vector<AchievementInfo>& achievements) { m_achievements = achievements; }

	// The declared leaderboards, then those that hold scores without being declared (titled by id).
	void loadLeaderboards(std::function<void(GameServiceError, const std::vector<LeaderboardInfo>&)> done);
	void loadAchievementDescriptions(std::function<void(GameServiceError, const std::vector<AchievementInfo>&)> done);
	// Keeps the player's best score on the board.
	void reportScore(const std::string& leaderboard, int64_t value, std::function<void(GameServiceError)> done);
	// Ranks first .. first + count - 1 (first counts from 1).
	void loadScores(const std::string& leaderboard, int first, int count,
		std::function<void(GameServiceError, const LeaderboardPage&)> done);
	// Progress never goes back; 100 percent completes the achievement.
	void reportAchievement(const std::string& id, double percent, std::function<void(GameServiceError)> done);
	// The local player's progress on every achievement they have made any.
	void loadAchievements(std::function<void(GameServiceError, const std::vector<GameAchievement>&)> done);

	// The screens: the rankings of every leaderboard, or the player's achievements, as an alert
	// with one button; done runs once the player has closed it. Needs a signed-in player.
	void showLeaderboards(std::function<void(GameServiceError)> done);
	void showAchievements(std::function<void(GameServiceError)> done);

private:
	void deliver(std::function<void()> work);
	std::string title(const std::string& leaderboard) const;

	Application& m_application;
	GameServiceStore m_store;
	std::string m_alias;
	SignIn m_signIn;
	bool m_authenticated = false;
	std::function<void(bool)> m_observer;
	std::vector<LeaderboardInfo> m_leaderboards;
	std::vector<AchievementInfo> m_achievements;
};

} // platform

#endif
