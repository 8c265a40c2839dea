#ifndef PLATFORM_USERDEFAULTS_H
#define PLATFORM_USERDEFAULTS_H

#include <map>
#include <mutex>
#include <string>

namespace platform {

// The user's small persisted settings: text values by key, kept in one file (by default
// "user-defaults.txt" in the documents directory). Values are stored as text; the typed
// accessors convert. Every change is written through at once (to a temporary file, then renamed).
// Thread-safe; the process-wide instance lives until exit.
class UserDefaults
{
public:
	// The store in the documents directory.
	static UserDefaults& standard();

	explicit UserDefaults(const std::string& path);

	bool contains(const std::string& key) const;
	std::string getString(const std::string& key, const std::string& fallback = "") const;
	long long getInteger(const std::string& key, long long fallback = 0) const;
	double getDouble(const std::string& key, double fallback = 0) const;
	bool getBool(const std::string& key, bool fallback = false) const;

	void setString(const std::string& key, const std::string& value);
	void setInteger(const std::string& key, long long value);
	void setDouble(const std::string& key, double value);
	void setBool(const std::string& key, bool value);
	void remove(const std::string& key);

	// The file's text for a set of values, and the values of a file's text; lines that cannot be
	// read are skipped.
	static std::string serialize(const std::map<std::string, std::string>& values);
	static std::map<std::string, std::string> parse(const std::string& text);

private:
	void save();

	std::string m_path;
	mutable std::mutex m_mutex;
	std::map<std::string, std::string> m_values;
};

} // platform

#endif
