#include <platform/UrlOpener.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

bool UrlOpener::acceptable(const std::string& url)
{
	if (url.empty() || url[0] == '-')
		return false;
	for (unsigned char c : url)
		if (c < 0x20 || c == 0x7f)
			return false;
	return true;
}

bool UrlOpener::open(const std::string& url)
{
	if (!acceptable(url))
		return false;
	std::string program = "xdg-open";
	std::string argument = url;
	char* const argv[] = {&program[0], &argument[0], nullptr};
	pid_t child = 0;
	if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0)
		return false;
	std::thread([child] {
		int status = 0;
		waitpid(child, &status, 0);
	}).detach();
	return true;
}

} // platform
