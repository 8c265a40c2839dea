#include <agent/AnalyticsSessionJournal.h>
#include <platform/KeyedArchive.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::ArchiveError;
using platform::ArchiveValue;
using platform::KeyedArchive;

namespace {

const char MAGIC[4] = {'K', 'J', 'N', 'L'};
constexpr size_t HEADER_BYTES = sizeof(MAGIC) + 2;
// Length, sequence number, check.
constexpr size_t ENTRY_FRAME_BYTES = 4 + 8 + 4;

void putUnsigned(std::string& out, std::uint64_t value, int size)
{
	for (int i = 0; i < size; ++i)
		out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t takeUnsigned(const std::string& data, size_t at, int size)
{
	std::uint64_t value = 0;
	for (int i = 0; i < size; ++i)
		value |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
	return value;
}

// FNV-1a over the bytes.
std::uint32_t check(const char* bytes, size_t size)
{
	std::uint32_t hash = 2166136261u;
	for (size_t i = 0; i < size; ++i)
	{
		hash ^= static_cast<unsigned char>(bytes[i]);
		hash *= 16777619u;
	}
	return hash;
}

} // namespace

std::string AnalyticsSessionJournal::header()
{
	std::string out(MAGIC, sizeof(MAGIC));
	putUnsigned(out, VERSION, 2);
	return out;
}

std::string AnalyticsSessionJournal::encodeEntry(std::uint64_t sequence, const ArchiveValue& change)
{
	const std::string encoded = KeyedArchive::encode(change);
	std::string out;
	putUnsigned(out, encoded.size(), 4);
	const size_t checked = out.size();
	putUnsigned(out, sequence, 8);
	out += encoded;
	putUnsigned(out, check(out.data() + checked, out.size() - checked), 4);
	return out;
}

AnalyticsSessionJournal::Contents AnalyticsSessionJournal::decode(const std::string& data)
{
	Contents contents;
	if (data.compare(0, HEADER_BYTES, header()) != 0)
	{
		contents.damaged = !data.empty();
		return contents;
	}
	size_t at = HEADER_BYTES;
	while (at < data.size())
	{
		if (data.size() - at < ENTRY_FRAME_BYTES)
			break;
		const std::uint64_t length = takeUnsigned(data, at, 4);
		if (length > data.size() - at - ENTRY_FRAME_BYTES)
			break;
		const size_t checked = at + 4;
		const size_t checkAt = checked + 8 + static_cast<size_t>(length);
		if (takeUnsigned(data, checkAt, 4) != check(data.data() + checked, checkAt - checked))
			break;
		Entry entry;
		entry.sequence = takeUnsigned(data, checked, 8);
		try
		{
			entry.change = KeyedArchive::decode(data.substr(checked + 8, static_cast<size_t>(length)));
		}
		catch (const ArchiveError&)
		{
			break;
		}
		contents.entries.push_back(std::move(entry));
		at = checkAt + 4;
	}
	contents.damaged = at < data.size();
	return contents;
}

void AnalyticsSessionJournal::append(const std::string& path, std::uint64_t sequence, const ArchiveValue& change)
{
	const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
	if (file < 0)
		throw ArchiveError("Cannot append to " + path + ": " + std::strerror(errno));
	struct stat status;
	int error = ::fstat(file, &status) == 0 ? 0 : errno;
	const std::string bytes = (error == 0 && status.st_size == 0 ? header() : std::string()) + encodeEntry(sequence, change);
	size_t written = 0;
	while (error == 0 && written < bytes.size())
	{
		const ssize_t n = ::write(file, bytes.data() + written, bytes.size() - written);
		if (n < 0 && errno == EINTR)
			continue;
		if (n <= 0)
		{
			error = n < 0 ? errno : EIO;
			break;
		}
		written += static_cast<size_t>(n);
	}
	if (::close(file) != 0 && error == 0)
		error = errno;
	if (error != 0)
		throw ArchiveError("Cannot append to " + path + ": " + std::strerror(error));
}
