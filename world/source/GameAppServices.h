#ifndef WORLD_GAMEAPPSERVICES_H
#define WORLD_GAMEAPPSERVICES_H

namespace gr { class Context; }

class GameApp;
class GameCenter;
class GameLua;

/**
 * The services round the game that the application starts and stops: the analytics session, the
 * rating prompt's launch and focus hooks, and the game service facade. Free functions without
 * state; each service that is not part of the build is absent, and its calls do nothing.
 */
namespace GameAppServices
{

void startAnalytics();
void endAnalytics();
void ratingPromptLaunched();
void ratingPromptBecameActive();

/** The game service facade for the application, owned by the caller; null when there is none. */
GameCenter* createGameCenter(GameApp* app, GameLua* world, gr::Context* context);
bool isGameCenterAvailable(GameCenter* gameCenter);
void firstInitGameCenter(GameCenter* gameCenter);
void setGameCenterOrientation(GameCenter* gameCenter, int orientation);
void deleteGameCenter(GameCenter* gameCenter);

} // GameAppServices

#endif
