#include <platform/Device.h>
#include <platform/Directories.h>
#include <platform/FileSaver.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sys/utsname.h>

namespace platform {

namespace {

// Name of the kept identifier in the documents directory.
const char* const DEVICE_ID_FILE = "device-id";

bool hexIdentifier(const std::string& id)
{
	return id.size() >= 16 && id.size() <= 128 && std::all_of(id.begin(), id.end(), [](char c) {
		return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
	});
}

std::string firstLine(const std::string& path)
{
	std::ifstream in(path);
	std::string line;
	std::getline(in, line);
	while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
		line.pop_back();
	return line;
}

// "fr_FR.UTF-8@euro" as the platform lists languages: the language alone, except where the
// region picks a written form ("en-GB", "pt-PT", "zh-Hans", "zh-Hant").
std::string languageCode(std::string locale)
{
	const size_t cut = locale.find_first_of(".@");
	if (cut != std::string::npos)
		locale.erase(cut);
	if (locale.empty())
		return "";
	if (locale == "C" || locale == "POSIX")
		return "en";
	const size_t separator = locale.find_first_of("_-");
	const std::string language = locale.substr(0, separator);
	const std::string region = separator == std::string::npos ? "" : locale.substr(separator + 1);
	if (language == "zh")
		return region == "TW" || region == "HK" || region == "MO" || region == "Hant" ? "zh-Hant" : "zh-Hans";
	if ((language == "en" && region == "GB") || (language == "pt" && region == "PT"))
		return language + "-" + region;
	return language;
}

void split(const char* text, char separator, std::vector<std::string>& out)
{
	if (!text)
		return;
	std::string item;
	for (const char* p = text;; ++p)
	{
		if (*p == separator || *p == 0)
		{
			out.push_back(item);
			item.clear();
			if (*p == 0)
				return;
		}
		else
			item += *p;
	}
}

} // namespace

std::string Device::randomIdentifier()
{
	std::random_device random;
	static const char digits[] = "0123456789abcdef";
	std::string id;
	for (int i = 0; i < 32; ++i)
		id += digits[random() & 15];
	return id;
}

std::string Device::uniqueIdentifier()
{
	const std::string machine = firstLine("/etc/machine-id");
	if (hexIdentifier(machine))
		return machine;
	const std::string path = Directories::documents() + "/" + DEVICE_ID_FILE;
	const std::string kept = firstLine(path);
	if (hexIdentifier(kept))
		return kept;
	const std::string id = randomIdentifier();
	return FileSaver::save(path, id + "\n") ? id : std::string();
}

std::string Device::systemVersion()
{
	utsname names;
	if (uname(&names) != 0)
		return "1.0";
	const std::string release = names.release;
	const size_t end = release.find_first_not_of("0123456789.");
	const std::string version = release.substr(0, end);
	return version.empty() ? "1.0" : version;
}

std::vector<std::string> Device::preferredLanguages()
{
	return preferredLanguages(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
		std::getenv("LANG"));
}

std::vector<std::string> Device::preferredLanguages(const char* language, const char* lcAll,
	const char* lcMessages, const char* lang)
{
	std::vector<std::string> locales;
	split(language, ':', locales);
	for (const char* value : {lcAll, lcMessages, lang})
		if (value && value[0])
		{
			locales.push_back(value);
			break;
		}
	std::vector<std::string> codes;
	for (const std::string& locale : locales)
	{
		const std::string code = languageCode(locale);
		if (!code.empty() && std::find(codes.begin(), codes.end(), code) == codes.end())
			codes.push_back(code);
	}
	if (codes.empty())
		codes.push_back("en");
	return codes;
}

} // platform
