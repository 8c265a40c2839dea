#include <io/FileReplacement.h>
#include <io/FileNotFoundException.h>
#include <lang/Debug.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {
// Attempts at a fresh temporary file before giving up.
constexpr int MAX_TEMPORARY_ATTEMPTS = 100;
const char TEMPORARY_EXTENSION[] = ".tmp";
// Hexadecimal digits of the random part of a temporary file's name (64 bits).
constexpr size_t RANDOM_DIGITS = 16;
// ".<random>.tmp" in bytes: the dot, the random part and the extension.
constexpr size_t TEMPORARY_SUFFIX_BYTES = 1 + RANDOM_DIGITS + sizeof(TEMPORARY_EXTENSION) - 1;

// 64 bits for a temporary file's name from the system's random source; when that cannot be had, a
// mix of the clock and a count, which still differs between the attempts of one process.
uint64_t randomBits()
{
	uint64_t bits = 0;
	if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits))
		return bits;
	static std::atomic<uint64_t> s_count(0);
	const uint64_t now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
	return now * 0x9E3779B97F4A7C15u ^ s_count.fetch_add(1) * 0xC2B2AE3D27D4EB4Fu;
}

std::string temporarySuffix()
{
	char suffix[TEMPORARY_SUFFIX_BYTES + 1];
	std::snprintf(suffix, sizeof suffix, ".%016llx%s", static_cast<unsigned long long>(randomBits()), TEMPORARY_EXTENSION);
	return suffix;
}

// The directory's limit for the bytes of one name; the common limit when it cannot be asked.
size_t nameLimitOf(const lang::String& directory)
{
	const long limit = pathconf(directory.c_str(), _PC_NAME_MAX);
	return limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
}

// What every temporary file of the file (a name without directory) begins with: the name itself,
// cut at a character boundary where it and the suffix would pass the limit.
std::string temporaryStemOf(const std::string& file, size_t nameLimit)
{
	if (file.size() + TEMPORARY_SUFFIX_BYTES <= nameLimit)
		return file;
	size_t cut = nameLimit > TEMPORARY_SUFFIX_BYTES ? nameLimit - TEMPORARY_SUFFIX_BYTES : 0;
	while (cut > 0 && (static_cast<unsigned char>(file[cut]) & 0xC0) == 0x80)
		--cut;
	return file.substr(0, cut);
}

// Whether the entry is a temporary file of stem: "<stem>.<16 lowercase hexadecimal digits>.tmp".
bool isTemporaryOf(const char* entry, const std::string& stem)
{
	if (std::strncmp(entry, stem.c_str(), stem.size()) != 0 || entry[stem.size()] != '.')
		return false;
	const char* digits = entry + stem.size() + 1;
	for (size_t i = 0; i < RANDOM_DIGITS; ++i)
		if (digits[i] == '\0' || !std::strchr("0123456789abcdef", digits[i]))
			return false;
	return std::strcmp(digits + RANDOM_DIGITS, TEMPORARY_EXTENSION) == 0;
}

// Whether path names the very file that fd has open.
bool isAt(int fd, const char* path)
{
	struct stat open;
	struct stat named;
	return fstat(fd, &open) == 0 && stat(path, &named) == 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Removes the temporary file at path when its writer is gone. A writer holds an exclusive lock on
// its temporary file from creating it until it is renamed or removed, and the system drops the
// lock with the process, whatever process namespace it runs in: a file whose lock can be taken has
// no writer. The file is removed only while locked and only when the path still names it, so a
// writer that creates a file and has not locked it yet finds it gone or locked and starts afresh.
// Files that cannot be opened or locked here are kept.
void removeIfLeftBehind(const std::string& path)
{
	const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
	if (fd < 0)
		return;
	struct stat status;
	if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0
		&& isAt(fd, path.c_str()) && unlink(path.c_str()) != 0 && errno != ENOENT)
		lang::Debug::printf("Can't remove %s left by a save that never ended: %s\n", path.c_str(), std::strerror(errno));
	::close(fd);
}

// Removes the temporary files of stem in the directory (prefix is how the name reaches it) whose
// writers died before they committed or cleaned up.
void removeLeftBehind(const lang::String& directory, const std::string& prefix, const std::string& stem)
{
	DIR* entries = opendir(directory.c_str());
	if (!entries)
		return;
	while (const dirent* entry = readdir(entries))
		if (isTemporaryOf(entry->d_name, stem))
			removeIfLeftBehind(prefix + entry->d_name);
	closedir(entries);
}

// Creates temporaryName, which did not exist, and locks it as its writer's. Returns its descriptor,
// or -1 with errno set; EAGAIN when a clean-up took the file for left behind before it was locked.
int createLocked(const lang::String& temporaryName)
{
	const int fd = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
	if (fd < 0)
		return -1;
	// A file system without locks keeps the file unlocked: a clean-up there cannot lock it either
	// and keeps it.
	if ((flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) || !isAt(fd, temporaryName.c_str()))
	{
		::close(fd);
		errno = EAGAIN;
		return -1;
	}
	return fd;
}

// Gives the new file the permissions of the file it replaces if there is one, and always its
// owner's right to read and write it, so that a save stays readable by its player.
void copyPermissions(int fd, const lang::String& name)
{
	struct stat old;
	if (stat(name.c_str(), &old) == 0 && S_ISREG(old.st_mode))
		fchmod(fd, (old.st_mode & 07777) | S_IRUSR | S_IWUSR);
}

// Why the finished file could never take the name's place, as a system error number, or 0: no
// name at all, a directory, or a name longer than the directory's limit.
int unreplaceableReason(const lang::String& name, const std::string& file, size_t nameLimit)
{
	struct stat status;
	if (name.isEmpty())
		return ENOENT;
	if (name.endsWith("/") || (stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)))
		return EISDIR;
	return file.size() > nameLimit ? ENAMETOOLONG : 0;
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
	m_lock(-1),
	m_name(name),
	m_writeError(0)
{
	const int error = createTemporary();
	if (!m_file)
		lang::throwError(FileNotFoundException(lang::Format("Failed to open {0} for writing: {1}", m_name, std::strerror(error))));
}

int FileReplacement::createTemporary()
{
	const int slash = m_name.lastIndexOf('/');
	const std::string prefix = m_name.substring(0, slash + 1).c_str();
	const std::string file = m_name.substring(slash + 1).c_str();
	const lang::String directory = directoryOf(m_name);
	const size_t nameLimit = nameLimitOf(directory);
	const int unreplaceable = unreplaceableReason(m_name, file, nameLimit);
	if (unreplaceable != 0)
		return unreplaceable;
	const std::string stem = temporaryStemOf(file, nameLimit);
	removeLeftBehind(directory, prefix, stem);
	for (int attempt = 0; attempt < MAX_TEMPORARY_ATTEMPTS; ++attempt)
	{
		m_temporaryName = (prefix + stem + temporarySuffix()).c_str();
		const int lock = createLocked(m_temporaryName);
		if (lock < 0)
		{
			if (errno == EEXIST || errno == EAGAIN)
				continue;
			return errno;
		}
		copyPermissions(lock, m_name);
		const int writing = dup(lock);
		m_file = writing >= 0 ? fdopen(writing, "wb") : nullptr;
		if (!m_file)
		{
			const int error = errno;
			if (writing >= 0)
				::close(writing);
			unlink(m_temporaryName.c_str());
			::close(lock);
			return error;
		}
		m_lock = lock;
		return 0;
	}
	return EEXIST;
}

void FileReplacement::removeTemporary() const
{
	if (isAt(m_lock, m_temporaryName.c_str()))
		unlink(m_temporaryName.c_str());
}

FileReplacement::~FileReplacement()
{
	if (!m_file)
		return;
	removeTemporary();
	fclose(m_file);
	::close(m_lock);
}

void FileReplacement::write(const void* data, size_t size)
{
	if (size == 0)
		return;
	if (!m_file)
		failWrite(static_cast<long long>(size), EBADF);
	if (m_writeError != 0)
		failWrite(static_cast<long long>(size), m_writeError);
	errno = 0;
	if (fwrite(data, 1, size, m_file) != size)
		failWrite(static_cast<long long>(size), errno != 0 ? errno : EIO);
}

void FileReplacement::failWrite(long long size, int error)
{
	if (m_writeError == 0)
		m_writeError = error;
	lang::throwError(IOException(lang::Format("Failed to write {1} bytes to {0}: {2}", m_name, size, std::strerror(error))));
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
	// The lock kept the file at its name; should someone else have removed it all the same, what
	// now stands there is not this writer's to put in place.
	if (error == 0 && !isAt(m_lock, m_temporaryName.c_str()))
		error = ENOENT;
	if (error == 0 && rename(m_temporaryName.c_str(), m_name.c_str()) != 0)
		error = errno;
	if (error != 0)
		removeTemporary();
	::close(m_lock);
	m_lock = -1;
	if (error != 0)
		fail(error);
	error = syncDirectory(directoryOf(m_name));
	if (error != 0)
		fail(error);
}

void FileReplacement::fail(int error) const
{
	lang::throwError(IOException(lang::Format("Failed to close {0}: {1}", m_name, std::strerror(error))));
}

} // io
