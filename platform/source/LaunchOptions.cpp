#include <platform/LaunchOptions.h>
#include <cstdlib>
#include <stdexcept>

namespace platform {

namespace {

// Largest accepted count of display refreshes.
const long MAX_COUNT = 100000000;

int parseCount(const std::string& option, const std::string& text)
{
	char* end = nullptr;
	const long value = std::strtol(text.c_str(), &end, 10);
	if (text.empty() || *end != 0 || value < 0 || value > MAX_COUNT)
		throw std::invalid_argument(option + " needs a count, not \"" + text + "\"");
	return static_cast<int>(value);
}

// The field that a text-valued option sets, null for other options.
std::string* textField(LaunchOptions& options, const std::string& option)
{
	if (option == "--script")
		return &options.script;
	if (option == "--output")
		return &options.outputDirectory;
	if (option == "--data")
		return &options.dataDirectory;
	if (option == "--documents")
		return &options.documentsDirectory;
	if (option == "--library")
		return &options.libraryDirectory;
	if (option == "--caches")
		return &options.cachesDirectory;
	if (option == "--player")
		return &options.player;
	if (option == "--game-service")
		return &options.gameService;
	if (option == "--system-version")
		return &options.systemVersion;
	return nullptr;
}

} // namespace

LaunchOptions LaunchOptions::parse(int argc, const char* const* argv)
{
	LaunchOptions options;
	if (argc > 0 && argv[0])
		options.program = argv[0];
	for (int i = 1; i < argc; ++i)
	{
		const std::string option = argv[i];
		if (option == "--headless")
		{
			options.headless = true;
			continue;
		}
		std::string* const text = textField(options, option);
		if (!text && option != "--frames" && option != "--notification")
			throw std::invalid_argument("Unknown option " + option);
		if (i + 1 >= argc)
			throw std::invalid_argument(option + " needs a value");
		const std::string value = argv[++i];
		if (text == &options.gameService && value != "on" && value != "cancel" && value != "off")
			throw std::invalid_argument(option + " needs on, cancel or off, not \"" + value + "\"");
		if (text)
			*text = value;
		else if (option == "--frames")
			options.frames = parseCount(option, value);
		else
		{
			options.launchNotification = LocalNotification();
			options.launchNotification->alertBody = value;
		}
	}
	return options;
}

} // platform
