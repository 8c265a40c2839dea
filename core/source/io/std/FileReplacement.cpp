#include <io/FileReplacement.h>
#include <io/FileNotFoundException.h>
#include <lang/Debug.h>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <set>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {
// Attempts at a fresh temporary name before giving up.
constexpr int MAX_TEMPORARY_ATTEMPTS = 100;
const char TEMPORARY_EXTENSION[] = ".tmp";
// The longest ".<pid>.<n>.tmp" in bytes: the dots, the most digits of each number and the extension.
constexpr size_t TEMPORARY_SUFFIX_MAX_BYTES = 2 + (std::numeric_limits<pid_t>::digits10 + 1)
	+ (std::numeric_limits<unsigned>::digits10 + 1) + sizeof(TEMPORARY_EXTENSION) - 1;

std::atomic<unsigned> s_temporaryCounter(0);
// The numbers of the temporary files this process has open. Any other temporary file carrying
// this process's number was left by an earlier process that had the same number.
std::mutex s_openTemporariesMutex;
std::set<unsigned> s_openTemporaries;

void setOpen(unsigned number, bool open)
{
	std::lock_guard<std::mutex> lock(s_openTemporariesMutex);
	if (open)
		s_openTemporaries.insert(number);
	else
		s_openTemporaries.erase(number);
}

// The directory's limit for the bytes of one name; the common limit when it cannot be asked.
size_t nameLimitOf(const lang::String& directory)
{
	const long limit = pathconf(directory.c_str(), _PC_NAME_MAX);
	return limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
}

// What every temporary file of the file (a name without directory) begins with: the name itself,
// cut at a character boundary where it and the longest suffix would pass the limit.
std::string temporaryStemOf(const std::string& file, size_t nameLimit)
{
	if (file.size() + TEMPORARY_SUFFIX_MAX_BYTES <= nameLimit)
		return file;
	size_t cut = nameLimit > TEMPORARY_SUFFIX_MAX_BYTES ? nameLimit - TEMPORARY_SUFFIX_MAX_BYTES : 0;
	while (cut > 0 && (static_cast<unsigned char>(file[cut]) & 0xC0) == 0x80)
		--cut;
	return file.substr(0, cut);
}

std::string temporarySuffix(unsigned number)
{
	return "." + std::to_string(getpid()) + "." + std::to_string(number) + TEMPORARY_EXTENSION;
}

// Reads the decimal number at text into number; returns the first character after it, or null
// when no digit is there.
const char* readNumber(const char* text, unsigned long& number)
{
	if (!std::isdigit(static_cast<unsigned char>(*text)))
		return nullptr;
	char* end = nullptr;
	number = std::strtoul(text, &end, 10);
	return end;
}

// Whether the entry is a temporary file of stem ("<stem>.<pid>.<n>.tmp"), and if so whose.
bool isTemporaryOf(const char* entry, const std::string& stem, unsigned long& writer, unsigned long& number)
{
	if (std::strncmp(entry, stem.c_str(), stem.size()) != 0 || entry[stem.size()] != '.')
		return false;
	const char* at = readNumber(entry + stem.size() + 1, writer);
	if (!at || *at != '.')
		return false;
	at = readNumber(at + 1, number);
	return at && std::strcmp(at, TEMPORARY_EXTENSION) == 0;
}

// Whether the writer of a temporary file may still use it: this process while the file is one it
// has open; another process while it exists, or when it cannot be told.
bool isRunning(unsigned long writer, unsigned long number)
{
	if (writer == static_cast<unsigned long>(getpid()))
	{
		std::lock_guard<std::mutex> lock(s_openTemporariesMutex);
		return s_openTemporaries.count(static_cast<unsigned>(number)) > 0;
	}
	return writer > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())
		|| kill(static_cast<pid_t>(writer), 0) == 0 || errno != ESRCH;
}

// Removes the temporary files of stem in the directory (prefix is how the name reaches it) whose
// writers died before they committed or cleaned up.
void removeLeftBehind(const lang::String& directory, const std::string& prefix, const std::string& stem)
{
	DIR* entries = opendir(directory.c_str());
	if (!entries)
		return;
	while (const dirent* entry = readdir(entries))
	{
		unsigned long writer = 0;
		unsigned long number = 0;
		if (!isTemporaryOf(entry->d_name, stem, writer, number) || isRunning(writer, number))
			continue;
		const std::string path = prefix + entry->d_name;
		if (unlink(path.c_str()) != 0 && errno != ENOENT)
			lang::Debug::printf("Can't remove %s left by a save that never ended: %s\n", path.c_str(), std::strerror(errno));
	}
	closedir(entries);
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
	m_temporaryNumber(0),
	m_writeError(0)
{
	int error = unreplaceableReason(name);
	if (error == 0)
		error = createTemporary();
	if (!m_file)
		lang::throwError(FileNotFoundException(lang::Format("Failed to open {0} for writing: {1}", m_name, std::strerror(error))));
}

int FileReplacement::createTemporary()
{
	const int slash = m_name.lastIndexOf('/');
	const std::string prefix = m_name.substring(0, slash + 1).c_str();
	const lang::String directory = directoryOf(m_name);
	const std::string stem = temporaryStemOf(m_name.substring(slash + 1).c_str(), nameLimitOf(directory));
	removeLeftBehind(directory, prefix, stem);
	for (int attempt = 0; attempt < MAX_TEMPORARY_ATTEMPTS; ++attempt)
	{
		const unsigned number = s_temporaryCounter.fetch_add(1);
		m_temporaryName = (prefix + stem + temporarySuffix(number)).c_str();
		// Open before it exists, so that no other save in this process takes it for left behind.
		setOpen(number, true);
		const int fd = createExclusive(m_temporaryName, m_name);
		if (fd < 0)
		{
			const int error = errno;
			setOpen(number, false);
			if (error == EEXIST)
				continue;
			return error;
		}
		m_file = fdopen(fd, "wb");
		if (!m_file)
		{
			const int error = errno;
			::close(fd);
			unlink(m_temporaryName.c_str());
			setOpen(number, false);
			return error;
		}
		m_temporaryNumber = number;
		return 0;
	}
	return EEXIST;
}

FileReplacement::~FileReplacement()
{
	if (!m_file)
		return;
	fclose(m_file);
	unlink(m_temporaryName.c_str());
	setOpen(m_temporaryNumber, false);
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
	if (error == 0 && rename(m_temporaryName.c_str(), m_name.c_str()) != 0)
		error = errno;
	if (error != 0)
		unlink(m_temporaryName.c_str());
	setOpen(m_temporaryNumber, false);
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
