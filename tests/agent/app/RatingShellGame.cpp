// The smallest game that tells the rating prompt of its launch and activations, as the game does;
// run headless to see the prompt's counts persist from one run to the next.
#include <framework/App.h>
#include <framework/AppController.h>
#include <world/GameRatingPrompt.h>

namespace {

class RatingShellGame : public framework::App
{
public:
	explicit RatingShellGame(framework::OSInterface* os) : framework::App(os)
	{
		GameRatingPrompt::appStarted();
	}

	void update(float, gr::Context*, int) override {}

	void activate(bool active) override
	{
		framework::App::activate(active);
		if (active)
			GameRatingPrompt::appBecameActive();
	}
};

} // namespace

namespace framework {

void configure(App::Configuration& config, OSInterface&)
{
	config.width = 768;
	config.height = 1024;
	config.orientation = 1;
}

App* init(OSInterface* os, gr::Context*)
{
	return new RatingShellGame(os);
}

} // framework

int main(int argc, char** argv)
{
	return framework::runApplication(argc, argv);
}
