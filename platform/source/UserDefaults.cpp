#include <platform/UserDefaults.h>

#include <platform/Directories.h>
#include <platform/FileSaver.h>
#include "EscapedText.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

// File name of the standard store in the documents directory: one "key<TAB>value" a line, both
// escaped.
const char* const FILE_NAME = "user-defaults.txt";

} // namespace

UserDefaults& UserDefaults::standard()
{
	static UserDefaults defaults(Directories::documents() + "/" + FILE_NAME);
	return defaults;
}

UserDefaults::UserDefaults(const std::string& path) :
	m_path(path)
{
	std::ifstream in(path, std::ios::binary);
	std::ostringstream text;
	text << in.rdbuf();
	m_values = parse(text.str());
}

bool UserDefaults::contains(const std::string& key) const
{
	std::lock_guard<std::recursive_mutex> lock(m_mutex);
	return m_values.count(key) != 0;
}

std::string UserDefaults::getString(const std::string& key, const std::string& fallback) const
{
	std::lock_guard<std::recursive_mutex> lock(m_mutex);
	const auto entry = m_values.find(key);
	return entry == m_values.end() ? fallback : entry->second;
}

long long UserDefaults::getInteger(const std::string& key, long long fallback) const
{
	const std::string text = getString(key);
	char* end = nullptr;
	const long long value = std::strtoll(text.c_str(), &end, 10);
	return text.empty() || *end ? fallback : value;
}

double UserDefaults::getDouble(const std::string& key, double fallback) const
{
	const std::string text = getString(key);
	char* end = nullptr;
	const double value = std::strtod(text.c_str(), &end);
	return text.empty() || *end ? fallback : value;
}

// A stored text reads as the tablet's defaults read a string as a flag: after spaces, a sign and
// zeros, "Y", "y", "T", "t" or a digit 1 to 9 is true and anything else false.
bool UserDefaults::getBool(const std::string& key, bool fallback) const
{
	if (!contains(key))
		return fallback;
	const std::string text = getString(key);
	size_t i = text.find_first_not_of(" \t\n");
	if (i == std::string::npos)
		return false;
	if (text[i] == '+' || text[i] == '-')
		++i;
	while (i < text.size() && text[i] == '0')
		++i;
	return i < text.size() && std::strchr("YyTt123456789", text[i]) != nullptr;
}

void UserDefaults::setString(const std::string& key, const std::string& value)
{
	std::lock_guard<std::recursive_mutex> lock(m_mutex);
	m_values[key] = value;
	changed();
}

void UserDefaults::setInteger(const std::string& key, long long value)
{
	setString(key, std::to_string(value));
}

void UserDefaults::setDouble(const std::string& key, double value)
{
	char text[32];
	std::snprintf(text, sizeof(text), "%.17g", value);
	setString(key, text);
}

void UserDefaults::setBool(const std::string& key, bool value)
{
	setString(key, value ? "true" : "false");
}

void UserDefaults::remove(const std::string& key)
{
	std::lock_guard<std::recursive_mutex> lock(m_mutex);
	m_values.erase(key);
	changed();
}

std::string UserDefaults::serialize(const std::map<std::string, std::string>& values)
{
	std::string text;
	for (const auto& entry : values)
		text += EscapedText::escape(entry.first) + "\t" + EscapedText::escape(entry.second) + "\n";
	return text;
}

std::map<std::string, std::string> UserDefaults::parse(const std::string& text)
{
	std::map<std::string, std::string> values;
	std::istringstream in(text);
	std::string line;
	while (std::getline(in, line))
	{
		const size_t tab = line.find('\t');
		std::string key, value;
		if (tab != std::string::npos && EscapedText::unescape(line.substr(0, tab), key) && EscapedText::unescape(line.substr(tab + 1), value))
			values[key] = value;
	}
	return values;
}

UserDefaults::Batch::Batch(UserDefaults& defaults) :
	m_defaults(defaults),
	m_lock(defaults.m_mutex)
{
	++m_defaults.m_batches;
}

UserDefaults::Batch::~Batch()
{
	if (--m_defaults.m_batches == 0 && m_defaults.m_unsaved)
		m_defaults.save();
}

// Called with the lock held.
void UserDefaults::changed()
{
	if (m_batches > 0)
		m_unsaved = true;
	else
		save();
}

// Called with the lock held. The file saver logs a failure; the values stay for the next write.
void UserDefaults::save()
{
	m_unsaved = false;
	FileSaver::save(m_path, serialize(m_values));
}

} // platform
