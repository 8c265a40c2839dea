#include <framework/AppController.h>
#include <lang/Debug.h>
#include <platform/LaunchOptions.h>
#include <cstdlib>

// GAME_LOG=1 (or yes, true, on) in the environment sends the game's debug log to standard error.
int main(int argc, char** argv)
{
	lang::Debug::setEnabled(platform::LaunchOptions::switchedOn(std::getenv("GAME_LOG")));
	return framework::runApplication(argc, argv);
}
