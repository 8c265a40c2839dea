#ifndef PLATFORM_LAUNCHOPTIONS_H
#define PLATFORM_LAUNCHOPTIONS_H

#include <platform/LocalNotification.h>
#include <optional>
#include <string>

namespace platform {

// The command line of an application, parsed: a plain value.
//   --headless            run without a window (EGL surfaceless, simulated clock)
//   --frames N            end after N display refreshes
//   --script FILE         timed input events (see InputScript)
//   --output DIR          where captured frames are written
//   --data DIR            the bundle directory (default: the executable's directory)
//   --documents DIR       the documents directory (default: the per-user data directory)
//   --library DIR         the library directory (default: the per-user state directory)
//   --caches DIR          the caches directory (default: the per-user cache directory)
//   --player NAME         the game service's local player (default: "Player" when headless,
//                         else the user's login name)
//   --game-service STATE  how the game service answers the sign-in: "on" (default), "cancel"
//                         (the player declines) or "off" (no game service on this device)
//   --system-version V    the system version to report
//   --notification TEXT   launched from a local notification with this alert text
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

	// Throws std::invalid_argument naming the offending option.
	static LaunchOptions parse(int argc, const char* const* argv);
};

} // platform

#endif
