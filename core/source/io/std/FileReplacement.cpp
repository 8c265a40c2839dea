#include <io/FileReplacement.h>
#include <io/FileNotFoundException.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {
// Attempts at a fresh temporary name before giving up.
constexpr int MAX_TEMPORARY_ATTEMPTS = 100;

std::atomic<unsigned> s_temporaryCounter(0);

// Unique per process and replacement, so two writers of one name never share a temporary file.
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

// Why the finished file could never take the name's place, as a system error number, or 0: no
// name at all, or a directory.
int unreplaceableReason(const lang::String& name)
{
	struct stat status;
	if (name.isEmpty())
		return ENOENT;
	return name.endsWith("/") || (stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) ? EISDIR : 0;
}

lang::String directoryOf(const lang::String& name)
{
	const int slash = name.lastIndexOf('/');
	if (slash < 0)
		return ".";
	return slash == 0 ? lang::String("/") : name.substring(0, slash);
}

// Makes a rename in the directory survive a power cut. Returns 0 or the system's error number;
// file systems that cannot sync a directory (EINVAL) keep their entries as well as they can.
int syncDirectory(const lang::String& directory)
{
	const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return errno;
	const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
	::close(fd);
	return error;
}
}

void FileReplacement::replace(const lang::String& name, const void* data, size_t size)
{
	FileReplacement file(name);
	file.write(data, size);
	file.commit();
}

FileReplacement::FileReplacement(const lang::String& name) :
	m_file(nullptr),
	m_name(name),
	m_writeError(0)
{
	int error = unreplaceableReason(name);
	for (int attempt = 0; error == 0 && attempt < MAX_TEMPORARY_ATTEMPTS && !m_file; ++attempt)
	{
		m_temporaryName = temporaryNameFor(name);
		const int fd = createExclusive(m_temporaryName, name);
		if (fd < 0)
		{
			if (errno != EEXIST)
				error = errno;
			continue;
		}
		m_file = fdopen(fd, "wb");
		if (!m_file)
		{
			error = errno;
			::close(fd);
			unlink(m_temporaryName.c_str());
		}
	}
	if (!m_file)
		lang::throwError(FileNotFoundException(lang::Format("Failed to open {0} for writing: {1}", m_name,
			std::strerror(error != 0 ? error : EEXIST))));
}

FileReplacement::~FileReplacement()
{
	if (!m_file)
		return;
	fclose(m_file);
	unlink(m_temporaryName.c_str());
}

void FileReplacement::write(const void* data, size_t size)
{
	if (size == 0)
		return;
	if (m_file && m_writeError == 0)
	{
		errno = 0;
		if (fwrite(data, 1, size, m_file) == size)
			return;
		m_writeError = errno != 0 ? errno : EIO;
	}
	lang::throwError(IOException(lang::Format("Failed to write {1} bytes to {0}", m_name, size)));
}

void FileReplacement::commit()
{
	if (!m_file)
		return;
	int error = m_writeError;
	if (error == 0 && fflush(m_file) != 0)
		error = errno;
	if (error == 0 && fsync(fileno(m_file)) != 0)
		error = errno;
	if (fclose(m_file) != 0 && error == 0)
		error = errno;
	m_file = nullptr;
	if (error == 0 && rename(m_temporaryName.c_str(), m_name.c_str()) != 0)
		error = errno;
	if (error != 0)
	{
		unlink(m_temporaryName.c_str());
		fail(error);
	}
	error = syncDirectory(directoryOf(m_name));
	if (error != 0)
		fail(error);
}

void FileReplacement::fail(int error) const
{
	lang::throwError(IOException(lang::Format("Failed to close {0}: {1}", m_name, std::strerror(error))));
}

} // io
