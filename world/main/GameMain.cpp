#include <framework/AppController.h>
#include <lang/Debug.h>
#include <cstdlib>

// GAME_LOG=1 in the environment sends the game's debug log to standard error.
int main(int argc, char** argv)
{
	lang::Debug::setEnabled(std::getenv("GAME_LOG") != nullptr);
	return framework::runApplication(argc, argv);
}
