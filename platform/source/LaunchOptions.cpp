#include <platform/LaunchOptions.h>
#include <cstdlib>
#include <stdexcept>

namespace platform {

namespace {

int parseCount(const std::string& option, const std::string& text)
{
	char* end = nullptr;
	const long value = std::strtol(text.c_str(), &end, 10);
	if (text.empty() || *end != 0 || value < 0 || value > 100000000)
		throw std::invalid_argument(option + " needs a count, not \"" + text + "\"");
	return static_cast<int>(value);
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
		if (i + 1 >= argc)
			throw std::invalid_argument(option == "--frames" || option == "--script" || option == "--output" ||
				option == "--data" || option == "--documents" || option == "--system-version" ||
				option == "--notification" ?
				option + " needs a value" : "Unknown option " + option);
		const std::string value = argv[i + 1];
		if (option == "--frames")
			options.frames = parseCount(option, value);
		else if (option == "--script")
			options.script = value;
		else if (option == "--output")
			options.outputDirectory = value;
		else if (option == "--data")
			options.dataDirectory = value;
		else if (option == "--documents")
			options.documentsDirectory = value;
		else if (option == "--system-version")
			options.systemVersion = value;
		else if (option == "--notification")
		{
			options.launchNotification = LocalNotification();
			options.launchNotification->alertBody = value;
		}
		else
			throw std::invalid_argument("Unknown option " + option);
		++i;
	}
	return options;
}

} // platform
