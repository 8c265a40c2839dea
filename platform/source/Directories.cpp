#include <platform/Directories.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Name of the documents directory when the executable's name is unknown.
const char* const DEFAULT_NAME = "game2d";

struct State
{
	std::mutex mutex;
	std::string documents;
	std::string library;
	std::string caches;
	std::string bundle;
	std::string program;
};

State& state()
{
	static State s;
	return s;
}

std::string withoutTrailingSlash(std::string path)
{
	while (path.size() > 1 && path.back() == '/')
		path.pop_back();
	return path;
}

std::string executablePath(const std::string& program)
{
	char buffer[4096];
	const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
	if (n > 0)
		return std::string(buffer, static_cast<size_t>(n));
	return program;
}

std::string parentOf(const std::string& path)
{
	const size_t slash = path.find_last_of('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr(0, slash);
}

std::string programName(const std::string& program)
{
	const size_t slash = program.find_last_of('/');
	const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
	return name.empty() ? DEFAULT_NAME : name;
}

// An XDG base directory: the variable when it holds an absolute path, else the fallback under
// the home directory.
std::string userHome(const char* variable, const char* fallback)
{
	const char* xdg = std::getenv(variable);
	if (xdg && xdg[0] == '/')
		return xdg;
	const char* home = std::getenv("HOME");
	return std::string(home && home[0] ? home : "/tmp") + fallback;
}

// The overriding path, or the application's directory under the XDG base; created.
std::string userDirectory(const std::string State::*field, const char* variable, const char* fallback)
{
	State& s = state();
	std::string path;
	{
		std::lock_guard<std::mutex> lock(s.mutex);
		path = (s.*field).empty() ? userHome(variable, fallback) + "/" + programName(s.program) : s.*field;
	}
	Directories::create(path);
	return path;
}

void setPath(std::string State::*field, const std::string& path)
{
	State& s = state();
	std::lock_guard<std::mutex> lock(s.mutex);
	s.*field = withoutTrailingSlash(path);
}

} // namespace

std::string Directories::documents()
{
	return userDirectory(&State::documents, "XDG_DATA_HOME", "/.local/share");
}

std::string Directories::library()
{
	return userDirectory(&State::library, "XDG_STATE_HOME", "/.local/state");
}

std::string Directories::caches()
{
	return userDirectory(&State::caches, "XDG_CACHE_HOME", "/.cache");
}

std::string Directories::bundle()
{
	State& s = state();
	std::lock_guard<std::mutex> lock(s.mutex);
	return s.bundle.empty() ? parentOf(executablePath(s.program)) : s.bundle;
}

void Directories::setDocuments(const std::string& path)
{
	setPath(&State::documents, path);
}

void Directories::setLibrary(const std::string& path)
{
	setPath(&State::library, path);
}

void Directories::setCaches(const std::string& path)
{
	setPath(&State::caches, path);
}

void Directories::setBundle(const std::string& path)
{
	setPath(&State::bundle, path);
}

void Directories::setProgram(const std::string& executablePath)
{
	State& s = state();
	std::lock_guard<std::mutex> lock(s.mutex);
	s.program = executablePath;
}

bool Directories::create(const std::string& path)
{
	if (path.empty())
	{
		errno = ENOENT;
		return false;
	}
	struct stat info;
	if (stat(path.c_str(), &info) == 0)
	{
		if (S_ISDIR(info.st_mode))
			return true;
		errno = ENOTDIR;
		return false;
	}
	const std::string parent = parentOf(path);
	if (parent != path && parent != "." && !create(parent))
		return false;
	return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string Directories::folderFault(const std::string& path)
{
	const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (folder >= 0)
	{
		::close(folder);
		return "";
	}
	const int error = errno;
	return std::string(error == ENOENT ? "is missing: " : "cannot be opened: ") + std::strerror(error);
}

} // platform
