#ifndef PLATFORM_USERDEFAULTS_H
#define PLATFORM_USERDEFAULTS_H

#include <map>
#include <mutex>
#include <string>

namespace platform {

// The user's small persisted settings: text values by key, kept in one file (by default
// "user-defaults.txt" in the documents directory). Values are stored as text; the typed
// accessors convert. Every change is written through at once with platform::FileSaver, or with
// the other changes of its Batch; a write that fails is logged, leaves the file as it was and
// keeps the values, which the next write carries. Thread-safe; the process-wide instance lives
// until exit.
class UserDefaults
{
public:
	// Changes made through the store while a batch lives are written together, in one write, when
	// it ends; other threads wait for the batch to end to read or change the store. Lives on the
	// stack of one thread, within the store's lifetime; batches nest.
	class Batch
	{
	public:
		explicit Batch(UserDefaults& defaults);
		~Batch();
		Batch(const Batch&) = delete;
		Batch& operator=(const Batch&) = delete;

	private:
		UserDefaults& m_defaults;
		std::lock_guard<std::recursive_mutex> m_lock;
	};

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
	// Writes the values unless a batch is open, which then writes them when it ends.
	void changed();
	void save();

	std::string m_path;
	mutable std::recursive_mutex m_mutex;
	std::map<std::string, std::string> m_values;
	// Batches open on the thread that holds the lock, and whether a change waits for their end.
	int m_batches = 0;
	bool m_unsaved = false;
};

} // platform

#endif
