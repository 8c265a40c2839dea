#include <platform/LaunchOptions.h>
#include <platform/Directories.h>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace platform {

namespace {

const char* const OPTIONS =
	"Options:\n"
	"  --headless            run without a window (EGL surfaceless, simulated clock)\n"
	"  --frames N            end after N display refreshes (0: run until closed); script\n"
	"                        events left for later are named, and a capture among them\n"
	"                        fails the run\n"
	"  --script FILE         timed input events: one per line, frame number first\n"
	"  --output DIR          where captured frames are written, made when missing\n"
	"                        (default: .)\n"
	"  --data DIR            the application's data folder (the game's is data_ipad), or\n"
	"                        the folder that holds it (default: the executable's directory)\n"
	"  --documents DIR       the documents directory (default: the per-user data directory)\n"
	"  --library DIR         the library directory (default: the per-user state directory)\n"
	"  --caches DIR          the caches directory (default: the per-user cache directory)\n"
	"  --player NAME         the game service's local player (default: \"Player\" when\n"
	"                        headless, else the login name)\n"
	"  --game-service STATE  how the game service answers the sign-in: on (default), cancel\n"
	"                        (the player declines) or off (no game service on this device)\n"
	"  --system-version V    the system version to report (below 3.1: the frame loop runs on\n"
	"                        its own thread)\n"
	"  --notification TEXT   launch as if from a local notification with this alert text\n"
	"  -h, --help            show this text and exit\n"
	"\n"
	"Input script lines ('#' starts a comment; frames count display refreshes from 0):\n"
	"  <frame> touch began|moved|ended|cancelled <finger> <x> <y>\n"
	"  <frame> key down|up <NAME>\n"
	"  <frame> wheel <delta>\n"
	"  <frame> tilt <x> <y> <z>\n"
	"  <frame> resign | become | close\n"
	"  <frame> capture <file.png>\n"
	"  <frame> answer <button>\n"
	"  <frame> notify [<event name>]\n";

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

// Numbers joined by single dots: "4", "3.1", "4.3.2".
bool isVersion(const std::string& text)
{
	bool digitBefore = false;
	for (char c : text)
	{
		if (c == '.' && digitBefore)
			digitBefore = false;
		else if (c >= '0' && c <= '9')
			digitBefore = true;
		else
			return false;
	}
	return digitBefore;
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
		if (option == "--help" || option == "-h")
		{
			options.help = true;
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
		if (text == &options.systemVersion && !isVersion(value))
			throw std::invalid_argument(option + " needs numbers joined by dots such as 4.1, not \"" + value + "\"");
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

void LaunchOptions::requireDataDirectory() const
{
	if (dataDirectory.empty())
		return;
	const std::string fault = Directories::folderFault(dataDirectory);
	if (!fault.empty())
		throw std::invalid_argument("The data directory " + dataDirectory + " " + fault);
}

bool LaunchOptions::switchedOn(const char* value)
{
	if (!value)
		return false;
	std::string word(value);
	std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
	return word == "1" || word == "yes" || word == "true" || word == "on";
}

std::string LaunchOptions::usage(const std::string& program)
{
	return "Usage: " + (program.empty() ? std::string("game") : program) + " [options]\n" + OPTIONS;
}

} // platform
