#ifndef WORLD_GAMECENTER_H
#define WORLD_GAMECENTER_H

#include <gr/Context.h>
#include <lang/String.h>
#include <platform/GameService.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class GameLua;
namespace platform { class Application; }

/**
 * The game's reports to the device's game service: authentication, leaderboard titles, score
 * posts and reads, achievement unlocks and reads, and the service's own screens, with results
 * handed to the game world on the main thread. Owned by the game application, which must keep
 * the platform application alive longer; lends itself to the game world when made and takes
 * itself back when destroyed. Completions still pending when either goes are dropped.
 */
class GameCenter
{
public:
	/** Why a request failed: a code of the game service's own, or a failure from elsewhere. */
	struct Error
	{
		enum Domain
		{
			SERVICE,
			OTHER
		};
		// Codes of the SERVICE domain.
		static const int UNKNOWN = 1;
		static const int CANCELLED = 2;
		static const int NOT_AUTHENTICATED = 6;
		static const int AUTHENTICATION_IN_PROGRESS = 7;
		static const int NOT_SUPPORTED = 16;

		Domain domain;
		int code;
		std::string description;
	};

	/** The lowest system version with a game service: 4.1. */
	static const int MIN_SYSTEM_MAJOR = 4;
	static const int MIN_SYSTEM_MINOR = 1;

	/** Observes authentication changes when the service is available; the orientation is the device's now. */
	GameCenter(platform::Application& application, GameLua* world, gr::Context* context);
	~GameCenter();
	GameCenter(const GameCenter&) = delete;
	GameCenter& operator=(const GameCenter&) = delete;

	/** The device has a game service (not switched off at launch) and a recent enough system. */
	static bool isGameCenterAvailable(const platform::Application& application);

	/** Sign in: firstInit keeps errors to itself, init shows them. */
	void firstInit();
	void init();
	void enableGameCenter();
	/** The system screens are message boxes, which do not turn; the orientation is kept for them. */
	void setOrientation(gr::Context::OrientationType orientation)	{ m_orientation = orientation; }
	gr::Context::OrientationType orientation() const			{ return m_orientation; }
	void showAchievement();
	void showLeaderboards();
	void loadLeaderboardCategories();
	void loadAchievements();
	void loadAchievementMetaData();
	void postHighscore(const lang::String& leaderboard, double score);
	/** percent 0 to 100. */
	void unlockAchievement(const lang::String& achievement, float percent);
	/** Ranks first .. first + count - 1, counted from 1. */
	void getLeaderboardScoresForRange(const lang::String& leaderboard, int first, int count);

	/** For tests: the next completion reports this error instead of its result. */
	void failNextRequest(const Error& error)					{ m_injectedError = error; }

	/** Called by the game world as it is destroyed; later completions are dropped. */
	void detachWorld()											{ m_world = nullptr; }

private:
	template <class Handler>
	auto completion(Handler handler);
	std::optional<Error> takeError(platform::GameServiceError error);
	bool ready() const;
	void authenticate(bool showErrors);
	void authenticationChanged(bool authenticated);
	void showScreen(const char* screen);
	void showAlert(const Error& error, bool show);
	void stopObserving();
	// The game's own leaderboard and achievement definitions, declared to the service for titles.
	void declareLeaderboards();
	void declareAchievements();

	platform::Application& m_application;
	platform::GameService& m_service;
	GameLua* m_world;
	gr::Context::OrientationType m_orientation;
	bool m_observing;
	std::vector<platform::AchievementInfo> m_achievements;
	std::optional<Error> m_injectedError;
	// Completions hold it weakly: they run only while this object is alive.
	std::shared_ptr<GameCenter*> m_self;
};

#endif
