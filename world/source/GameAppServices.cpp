#include "GameAppServices.h"

#include <gr/Context.h>

// The analytics bridge, the rating prompt and the game service join the world library from their
// own folders; until one is built, its hooks here do nothing.
#if __has_include(<world/GameAnalytics.h>)
#include <world/GameAnalytics.h>
#define HAVE_GAME_ANALYTICS 1
#endif
#if __has_include(<world/GameRatingPrompt.h>)
#include <world/GameRatingPrompt.h>
#define HAVE_RATING_PROMPT 1
#endif
#if __has_include(<world/GameCenter.h>)
#include <world/GameCenter.h>
#define HAVE_GAME_CENTER 1
#endif

namespace GameAppServices
{

void startAnalytics()
{
#ifdef HAVE_GAME_ANALYTICS
	GameAnalytics::startSession(GameAnalytics::API_KEY);
#endif
}

void endAnalytics()
{
#ifdef HAVE_GAME_ANALYTICS
	GameAnalytics::endSession();
#endif
}

void ratingPromptLaunched()
{
#ifdef HAVE_RATING_PROMPT
	GameRatingPrompt::appStarted();
#endif
}

void ratingPromptBecameActive()
{
#ifdef HAVE_RATING_PROMPT
	GameRatingPrompt::appBecameActive();
#endif
}

GameCenter* createGameCenter(GameApp* app, GameLua* world, gr::Context* context)
{
#ifdef HAVE_GAME_CENTER
	return new GameCenter(app, world, context);
#else
	return nullptr;
#endif
}

bool isGameCenterAvailable(GameCenter* gameCenter)
{
#ifdef HAVE_GAME_CENTER
	return gameCenter && gameCenter->isGameCenterAvailable();
#else
	return false;
#endif
}

void firstInitGameCenter(GameCenter* gameCenter)
{
#ifdef HAVE_GAME_CENTER
	gameCenter->firstInit();
#endif
}

void setGameCenterOrientation(GameCenter* gameCenter, int orientation)
{
#ifdef HAVE_GAME_CENTER
	if (gameCenter)
		gameCenter->setOrientation(static_cast<gr::Context::OrientationType>(orientation));
#endif
}

void deleteGameCenter(GameCenter* gameCenter)
{
#ifdef HAVE_GAME_CENTER
	delete gameCenter;
#endif
}

} // GameAppServices
