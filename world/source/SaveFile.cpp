#include <world/SaveFile.h>

#include <io/IOException.h>
#include <lang/Format.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The numbered names tried after "<path>.<why>" before setting aside gives up.
constexpr int MAX_ASIDE_NUMBER = 999;

// Renames from to to unless something is at to; the system's error number, or 0.
int renameUnlessTaken(const lang::String& from, const lang::String& to)
{
	if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
		return 0;
	if (errno != EINVAL && errno != ENOSYS)
		return errno;
	// A file system that cannot refuse to replace: look first.
	struct stat status;
	if (lstat(to.c_str(), &status) == 0)
		return EEXIST;
	return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace

bool SaveFile::missing(const lang::String& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

lang::String SaveFile::unreadable(const lang::String& path)
{
	// Not blocking: a pipe opened to read waits for a writer.
	const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
	if (descriptor < 0)
		return std::strerror(errno);
	struct stat status;
	const int error = fstat(descriptor, &status) == 0 ? 0 : errno;
	close(descriptor);
	if (error)
		return std::strerror(error);
	if (S_ISDIR(status.st_mode))
		return std::strerror(EISDIR);
	if (!S_ISREG(status.st_mode))
		return "it is no regular file";
	return "";
}

lang::String SaveFile::setAside(const lang::String& path, const char* why)
{
	lang::String base(path);
	base += ".";
	base += why;
	int error = 0;
	for (int number = 0; number <= MAX_ASIDE_NUMBER; ++number)
	{
		const lang::String aside = number == 0 ? base : lang::Format("{0}.{1}", base, number).format();
		error = renameUnlessTaken(path, aside);
		if (error == 0)
			return aside;
		if (error != EEXIST)
			break;
	}
	lang::throwError(io::IOException(lang::Format("Failed to set {0} aside: {1}", path, std::strerror(error))));
}
