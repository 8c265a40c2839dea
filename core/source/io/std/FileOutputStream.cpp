#include <io/FileOutputStream.h>
#include <io/FileNotFoundException.h>
#include <lang/Debug.h>
#include <atomic>
#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {
// Attempts at a fresh temporary name before giving up.
constexpr int MAX_TEMPORARY_ATTEMPTS = 100;

std::atomic<unsigned> s_temporaryCounter(0);

lang::String temporaryNameFor(const lang::String& name)
{
	char suffix[64];
	snprintf(suffix, sizeof(suffix), ".%ld.%u.tmp", static_cast<long>(getpid()), s_temporaryCounter.fetch_add(1));
	return name + suffix;
}

// Creates a file that did not exist, with the permissions of the file it will replace if there
// is one. Returns -1 on failure with errno set.
int createExclusive(const lang::String& temporaryName, const lang::String& name)
{
	const int fd = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
	struct stat old;
	if (fd >= 0 && stat(name.c_str(), &old) == 0 && S_ISREG(old.st_mode))
		fchmod(fd, old.st_mode & 07777);
	return fd;
}

// A directory, or no name at all, could never be replaced by the finished file.
bool isReplaceable(const lang::String& name)
{
	struct stat status;
	return !name.isEmpty() && !name.endsWith("/") && !(stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}
}

FileOutputStream::FileOutputStream(const lang::String& name) :
	m_file(nullptr),
	m_name(name),
	m_uncaughtExceptions(std::uncaught_exceptions())
{
	const bool replaceable = isReplaceable(name);
	for (int attempt = 0; replaceable && attempt < MAX_TEMPORARY_ATTEMPTS && !m_file; ++attempt)
	{
		m_temporaryName = temporaryNameFor(name);
		const int fd = createExclusive(m_temporaryName, name);
		if (fd < 0)
		{
			if (errno == EEXIST)
				continue;
			break;
		}
		m_file = fdopen(fd, "wb");
		if (!m_file)
		{
			::close(fd);
			unlink(m_temporaryName.c_str());
			break;
		}
	}
	if (!m_file)
		lang::throwError(FileNotFoundException(lang::Format("Failed to open {0} for writing", m_name)));
}

FileOutputStream::~FileOutputStream()
{
	if (!m_file)
		return;
	if (std::uncaught_exceptions() > m_uncaughtExceptions)
		discard();
	else if (!commit())
		lang::Debug::printf("Failed to close %s\n", m_name.c_str());
}

void FileOutputStream::write(const void* data, int size)
{
	if (size <= 0)
		return;
	if (!m_file || fwrite(data, 1, size, m_file) != static_cast<size_t>(size))
		lang::throwError(IOException(lang::Format("Failed to write {1} bytes to {0}", toString(), size)));
}

void FileOutputStream::close()
{
	if (m_file && !commit())
		lang::throwError(IOException(lang::Format("Failed to close {0}", m_name)));
}

bool FileOutputStream::commit()
{
	bool written = fflush(m_file) == 0 && fsync(fileno(m_file)) == 0;
	written = fclose(m_file) == 0 && written;
	m_file = nullptr;
	if (written && rename(m_temporaryName.c_str(), m_name.c_str()) == 0)
		return true;
	unlink(m_temporaryName.c_str());
	return false;
}

void FileOutputStream::discard()
{
	fclose(m_file);
	m_file = nullptr;
	unlink(m_temporaryName.c_str());
}

lang::String FileOutputStream::toString() const
{
	return m_name;
}

} // io
