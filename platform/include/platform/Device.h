#ifndef PLATFORM_DEVICE_H
#define PLATFORM_DEVICE_H

#include <string>
#include <vector>

namespace platform {

// Facts about the machine the application runs on; stateless.
class Device
{
public:
	// The machine's stable identifier: /etc/machine-id, else an id generated once and kept as
	// "device-id" in the documents directory; empty when neither can be had.
	static std::string uniqueIdentifier();
	// 32 lower-case hexadecimal digits from the system's random source: an identity that no other
	// run or machine shares.
	static std::string randomIdentifier();
	// The operating system's release as "major.minor[.patch]".
	static std::string systemVersion();
	// The user's languages, most preferred first, as codes like "en-GB": from LANGUAGE (a ':'
	// list) and LANG/LC_ALL/LC_MESSAGES; "C" and "POSIX" give "en".
	static std::vector<std::string> preferredLanguages();
	// The same from given variable values, for tests.
	static std::vector<std::string> preferredLanguages(const char* language, const char* lcAll,
		const char* lcMessages, const char* lang);
};

} // platform

#endif
