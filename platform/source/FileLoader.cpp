#include <platform/FileLoader.h>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// Bytes asked of one read call.
const size_t CHUNK_BYTES = 16384;

} // namespace

bool FileLoader::load(const std::string& path, std::string& bytes, int& error)
{
	bytes.clear();
	const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (file < 0)
	{
		error = errno;
		return false;
	}
	char buffer[CHUNK_BYTES];
	for (;;)
	{
		const ssize_t n = ::read(file, buffer, sizeof(buffer));
		if (n > 0)
			bytes.append(buffer, static_cast<size_t>(n));
		else if (n == 0)
			break;
		else if (errno != EINTR)
		{
			error = errno;
			::close(file);
			bytes.clear();
			return false;
		}
	}
	::close(file);
	return true;
}

} // platform
