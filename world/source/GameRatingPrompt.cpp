#include <world/GameRatingPrompt.h>
#include <rating/RatingPrompt.h>
#include <lang/Debug.h>

void GameRatingPrompt::appStarted()
{
	lang::Debug::printf("Notifying RatingPrompt of app launch\n");
	RatingPrompt::shared().appLaunched();
}

void GameRatingPrompt::appBecameActive()
{
	lang::Debug::printf("Notifying RatingPrompt of focus gain.\n");
	RatingPrompt::shared().appEnteredForeground(true);
}
