#ifndef TESTS_WORLD_WORLDFILES_H
#define TESTS_WORLD_WORLDFILES_H

#include "io/IoTestSupport.h"
#include <framework/App.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <lang/Array.h>
#include <world/FileKeys.h>
#include <world/encrypt.h>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

/**
 * A temporary data directory (the application's data path) and documents directory (the root
 * of the application-data streams) for one game world; the roots are emptied again on
 * destruction, which must come after the world's.
 */
class WorldFiles
{
public:
	explicit WorldFiles(framework::App& app)
	{
		std::filesystem::create_directory(dataFile(""));
		std::filesystem::create_directory(documentsFile(""));
		io::AppDataInputStream::setRootPath(documentsFile("").c_str());
		io::AppDataOutputStream::setRootPath(documentsFile("").c_str());
		app.setDataPath(dataFile("").c_str());
	}
	~WorldFiles()
	{
		io::AppDataInputStream::setRootPath("");
		io::AppDataOutputStream::setRootPath("");
	}

	std::string dataFile(const std::string& name) const			{ return m_directory.file("data/" + name); }
	std::string documentsFile(const std::string& name) const		{ return m_directory.file("documents/" + name); }

	/** Names of the entries of "data" or "documents". */
	std::vector<std::string> entries(const std::string& directory) const
	{
		std::vector<std::string> names;
		for (const auto& entry : std::filesystem::directory_iterator(m_directory.file(directory)))
			names.push_back(entry.path().filename().string());
		return names;
	}

	/** A shipped file: the text enciphered under the data key. */
	void ship(const std::string& name, const std::string& text) const	{ iotest::writeFile(dataFile(name), encipher(FileKeys::dataKey(), text)); }
	/** A saved file: the text enciphered under key. */
	void save(const std::string& name, const lang::Array<unsigned char>& key, const std::string& text) const
	{
		iotest::writeFile(documentsFile(name), encipher(key, text));
	}

	static lang::Array<unsigned char> bytes(const std::string& text)
	{
		lang::Array<unsigned char> array;
		array.resize(static_cast<int>(text.size()));
		std::copy(text.begin(), text.end(), array.begin());
		return array;
	}

	static std::string encipher(const lang::Array<unsigned char>& key, const std::string& text)
	{
		lang::Array<unsigned char> out;
		encrypt(key, bytes(text), out);
		return std::string(out.begin(), out.end());
	}

	static std::string decipher(const lang::Array<unsigned char>& key, const std::string& ciphertext)
	{
		lang::Array<unsigned char> out;
		if (!decrypt(key, bytes(ciphertext), out))
			return "<undecipherable>";
		return std::string(out.begin(), out.end());
	}

private:
	iotest::TemporaryDirectory m_directory;
};

#endif
