#ifndef PLATFORM_LAUNCHOPTIONS_H
#define PLATFORM_LAUNCHOPTIONS_H

#include <platform/LocalNotification.h>
#include <optional>
#include <string>

namespace platform {

// The command line of an application, parsed: a plain value. usage() lists the options.
struct LaunchOptions
{
	bool headless = false;
	// 0: run until the application ends.
	int frames = 0;
	std::string script;
	std::string outputDirectory = ".";
	std::string dataDirectory;
	std::string documentsDirectory;
	std::string libraryDirectory;
	std::string cachesDirectory;
	std::string player;
	std::string gameService = "on";
	std::string systemVersion;
	// The local notification the application was launched from, when it was.
	std::optional<LocalNotification> launchNotification;
	// The executable's path as given (argv[0]).
	std::string program;
	// --help or -h: show usage() and run nothing.
	bool help = false;

	// Throws std::invalid_argument naming the offending option.
	static LaunchOptions parse(int argc, const char* const* argv);
	// Throws std::invalid_argument with the system's reason when --data names something that does
	// not open as a folder: as wrong a command line as an unknown option.
	void requireDataDirectory() const;
	// Whether an environment switch (such as GAME_LOG) is on: "1", "yes", "true" or "on" in any
	// case. Unset, empty, "0" and every other value leave it off.
	static bool switchedOn(const char* value);
	// The help text: how to call program and what each option does.
	static std::string usage(const std::string& program);
};

} // platform

#endif
