#include <platform/KeyedArchive.h>
#include <platform/FileLoader.h>
#include <platform/FileSaver.h>
#include <cstring>
#include <cerrno>
#include <utility>

namespace platform {

namespace {

const char MAGIC[4] = {'K', 'A', 'R', 'C'};

void putUnsigned(std::string& out, std::uint64_t value, int size)
{
	for (int i = 0; i < size; ++i)
		out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putText(std::string& out, const std::string& text)
{
	putUnsigned(out, text.size(), 4);
	out += text;
}

std::uint64_t doubleBits(double value)
{
	std::uint64_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}

void put(std::string& out, const ArchiveValue& value)
{
	using Kind = ArchiveValue::Kind;
	out.push_back(static_cast<char>(value.kind()));
	switch (value.kind())
	{
	case Kind::Int: putUnsigned(out, static_cast<std::uint64_t>(value.asInt()), 8); break;
	case Kind::Double: putUnsigned(out, doubleBits(value.asDouble()), 8); break;
	case Kind::Date: putUnsigned(out, doubleBits(value.asDate()), 8); break;
	case Kind::Bool: out.push_back(value.asBool() ? 1 : 0); break;
	case Kind::String: putText(out, value.asString()); break;
	case Kind::Bytes: putText(out, value.asBytes()); break;
	case Kind::Array:
		putUnsigned(out, value.items().size(), 4);
		for (const ArchiveValue& item : value.items())
			put(out, item);
		break;
	case Kind::Record:
	case Kind::Dictionary:
		if (value.kind() == Kind::Record)
			putText(out, value.className());
		putUnsigned(out, value.keys().size(), 4);
		for (size_t i = 0; i < value.keys().size(); ++i)
		{
			putText(out, value.keys()[i]);
			put(out, value.items()[i]);
		}
		break;
	}
}

// Reads an encoding from the front, checking each length against what is left.
class Reader
{
public:
	explicit Reader(const std::string& data) : m_data(data) {}

	std::uint64_t takeUnsigned(int size)
	{
		need(size);
		std::uint64_t value = 0;
		for (int i = 0; i < size; ++i)
			value |= static_cast<std::uint64_t>(static_cast<unsigned char>(m_data[m_at + i])) << (8 * i);
		m_at += size;
		return value;
	}

	std::string takeText()
	{
		const std::uint64_t size = takeUnsigned(4);
		need(size);
		std::string text = m_data.substr(m_at, size);
		m_at += size;
		return text;
	}

	double takeDouble()
	{
		const std::uint64_t bits = takeUnsigned(8);
		double value;
		std::memcpy(&value, &bits, sizeof(value));
		return value;
	}

	// A count of elements that each take at least one more byte.
	std::uint64_t takeCount()
	{
		const std::uint64_t count = takeUnsigned(4);
		need(count);
		return count;
	}

	ArchiveValue takeValue(int depth)
	{
		using Kind = ArchiveValue::Kind;
		if (depth > KeyedArchive::MAX_DEPTH)
			throw ArchiveError("Archive nested too deeply");
		const auto kind = static_cast<Kind>(takeUnsigned(1));
		switch (kind)
		{
		case Kind::Int: return ArchiveValue::integer(static_cast<std::int64_t>(takeUnsigned(8)));
		case Kind::Double: return ArchiveValue::real(takeDouble());
		case Kind::Date: return ArchiveValue::date(takeDouble());
		case Kind::Bool:
		{
			const std::uint64_t flag = takeUnsigned(1);
			if (flag > 1)
				throw ArchiveError("Archive holds a boolean other than 0 or 1");
			return ArchiveValue::boolean(flag == 1);
		}
		case Kind::String: return ArchiveValue::string(takeText());
		case Kind::Bytes: return ArchiveValue::bytes(takeText());
		case Kind::Array:
		{
			ArchiveValue array = ArchiveValue::array();
			for (std::uint64_t i = takeCount(); i > 0; --i)
				array.append(takeValue(depth + 1));
			return array;
		}
		case Kind::Record:
		case Kind::Dictionary:
		{
			ArchiveValue keyed = kind == Kind::Record ? ArchiveValue::record(takeText()) : ArchiveValue::dictionary();
			for (std::uint64_t i = takeCount(); i > 0; --i)
			{
				std::string key = takeText();
				if (keyed.has(key))
					throw ArchiveError("Archive repeats the key \"" + key + "\"");
				keyed.set(std::move(key), takeValue(depth + 1));
			}
			return keyed;
		}
		}
		throw ArchiveError("Archive holds an unknown value kind");
	}

	bool atEnd() const { return m_at == m_data.size(); }

private:
	void need(std::uint64_t size) const
	{
		if (size > m_data.size() - m_at)
			throw ArchiveError("Archive ends early");
	}

	const std::string& m_data;
	size_t m_at = 0;
};

} // namespace

std::string KeyedArchive::encode(const ArchiveValue& value)
{
	std::string out(MAGIC, sizeof(MAGIC));
	putUnsigned(out, VERSION, 2);
	put(out, value);
	return out;
}

ArchiveValue KeyedArchive::decode(const std::string& data)
{
	if (data.compare(0, sizeof(MAGIC), MAGIC, sizeof(MAGIC)) != 0)
		throw ArchiveError("Not an archive");
	Reader reader(data);
	reader.takeUnsigned(sizeof(MAGIC));
	if (reader.takeUnsigned(2) != VERSION)
		throw ArchiveError("Archive of an unknown version");
	ArchiveValue value = reader.takeValue(0);
	if (!reader.atEnd())
		throw ArchiveError("Archive has bytes after its value");
	return value;
}

void KeyedArchive::writeFile(const std::string& path, const ArchiveValue& value)
{
	std::string failure;
	if (!FileSaver::save(path, encode(value), &failure))
		throw ArchiveError(failure);
}

ArchiveUnreadable::ArchiveUnreadable(const std::string& path, int error) :
	ArchiveError("Cannot read " + path + ": " + std::strerror(error)),
	m_error(error)
{
}

ArchiveDamaged::ArchiveDamaged(const std::string& path, const std::string& reason) :
	ArchiveError("Cannot decode " + path + ": " + reason),
	m_reason(reason)
{
}

ArchiveValue KeyedArchive::readFile(const std::string& path)
{
	const std::string data = readBytes(path);
	try
	{
		return decode(data);
	}
	catch (const ArchiveError& error)
	{
		throw ArchiveDamaged(path, error.what());
	}
}

std::string KeyedArchive::readBytes(const std::string& path)
{
	std::string data;
	int error = 0;
	if (!FileLoader::load(path, data, error))
		throw ArchiveUnreadable(path, error);
	return data;
}

} // platform
