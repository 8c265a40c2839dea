// Enciphers or deciphers one of the game's data files as a whole, under the key the game reads
// it with: the data key for shipped scripts, tables and levels, the save key for saved files.
#include <io/FileInputStream.h>
#include <io/FileOutputStream.h>
#include <lang/Exception.h>
#include <world/EncipheredFile.h>
#include <world/FileKeys.h>
#include <world/encrypt.h>
#include <cstdio>
#include <cstring>

namespace {

// Exit statuses.
constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

const char* const USAGE =
	"Usage: datacipher encrypt|decrypt [--key data|save] INPUT OUTPUT\n"
	"       datacipher --help\n"
	"\n"
	"Enciphers or deciphers a whole file with AES-256-CBC (zero IV, PKCS#7 padding, no header),\n"
	"as the game reads and writes its files.\n"
	"\n"
	"  encrypt      write the ciphertext of INPUT to OUTPUT\n"
	"  decrypt      write the plain bytes of INPUT to OUTPUT\n"
	"  --key data   the key of shipped scripts, tables and levels (the default)\n"
	"  --key save   the key of the files the game saves\n"
	"  --help       show this text\n"
	"\n"
	"OUTPUT is replaced whole, or left as it was when anything fails.\n"
	"Exit status: 0 done, 1 failed (unreadable input, bytes that do not decipher, unwritable\n"
	"output), 2 usage error.\n";

struct Options
{
	bool encipher = true;
	bool saveKey = false;
	const char* input = nullptr;
	const char* output = nullptr;
};

// False for arguments that do not make one command.
bool parse(int argc, char** argv, Options& options)
{
	if (argc < 2)
		return false;
	if (std::strcmp(argv[1], "encrypt") == 0)
		options.encipher = true;
	else if (std::strcmp(argv[1], "decrypt") == 0)
		options.encipher = false;
	else
		return false;
	int files = 0;
	for (int i = 2; i < argc; ++i)
	{
		if (std::strcmp(argv[i], "--key") == 0 && i + 1 < argc)
		{
			const char* key = argv[++i];
			if (std::strcmp(key, "save") != 0 && std::strcmp(key, "data") != 0)
				return false;
			options.saveKey = std::strcmp(key, "save") == 0;
		}
		else if (argv[i][0] == '-' && argv[i][1] != 0)
			return false;
		else if (files == 0)
			options.input = argv[i], ++files;
		else if (files == 1)
			options.output = argv[i], ++files;
		else
			return false;
	}
	return files == 2;
}

int run(const Options& options)
{
	const lang::Array<unsigned char> key = options.saveKey ? FileKeys::saveKey() : FileKeys::dataKey();
	lang::Array<unsigned char> input;
	{
		io::FileInputStream in(options.input);
		input = EncipheredFile::readAll(&in);
	}
	lang::Array<unsigned char> output;
	const bool done = options.encipher ? encrypt(key, input, output) : decrypt(key, input, output);
	if (!done)
	{
		std::fprintf(stderr, "datacipher: %s does not %s under the %s key\n", options.input,
			options.encipher ? "encipher" : "decipher", options.saveKey ? "save" : "data");
		return EXIT_FAILED;
	}
	io::FileOutputStream out(options.output);
	out.write(output.begin(), output.size());
	out.close();
	return EXIT_DONE;
}

} // namespace

int main(int argc, char** argv)
{
	for (int i = 1; i < argc; ++i)
	{
		if (std::strcmp(argv[i], "--help") == 0)
		{
			std::fputs(USAGE, stdout);
			return EXIT_DONE;
		}
	}
	Options options;
	if (!parse(argc, argv, options))
	{
		std::fputs(USAGE, stderr);
		return EXIT_USAGE;
	}
	try
	{
		return run(options);
	}
	catch (const lang::Exception& e)
	{
		std::fprintf(stderr, "datacipher: %s\n", e.getMessage().format().c_str());
		return EXIT_FAILED;
	}
}
