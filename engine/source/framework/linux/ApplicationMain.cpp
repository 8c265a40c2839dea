#include <framework/AppController.h>
#include <platform/Application.h>
#include <cstdio>
#include <stdexcept>

namespace framework
{

// Exit code of a command line that cannot be understood or followed (an input script or a data
// directory that cannot be opened) and of a platform that cannot start.
static const int EXIT_USAGE = 2;

int runApplication(int argc, char** argv)
{
	platform::LaunchOptions options;
	try
	{
		options = platform::LaunchOptions::parse(argc, argv);
	}
	catch (const std::invalid_argument& e)
	{
		std::fprintf(stderr, "%s (--help lists the options)\n", e.what());
		return EXIT_USAGE;
	}
	if (options.help)
	{
		std::fputs(platform::LaunchOptions::usage(options.program).c_str(), stdout);
		return 0;
	}
	std::unique_ptr<platform::Application> application;
	try
	{
		options.requireDataDirectory();
		application = platform::Application::create(options);
	}
	catch (const std::exception& e)
	{
		std::fprintf(stderr, "%s\n", e.what());
		return EXIT_USAGE;
	}
	AppController controller(*application);
	try
	{
		return application->run(controller);
	}
	catch (...)
	{
		return controller.terminateAfterException();
	}
}

} // framework
