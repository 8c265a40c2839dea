#ifndef WORLD_GAMERATINGPROMPT_H
#define WORLD_GAMERATINGPROMPT_H

// Tells the shared rating prompt of the game's launch and of each return to the foreground.
// Static operations only, no state; both return at once.
class GameRatingPrompt
{
public:
	GameRatingPrompt() = delete;

	static void appStarted();
	static void appBecameActive();
};

#endif
