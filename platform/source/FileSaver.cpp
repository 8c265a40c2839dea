#include <platform/FileSaver.h>
#include <io/FileReplacement.h>
#include <io/IOException.h>
#include <lang/Debug.h>

namespace platform {

bool FileSaver::save(const std::string& path, const std::string& bytes, std::string* failure)
{
	try
	{
		io::FileReplacement::replace(path.c_str(), bytes.data(), bytes.size());
		return true;
	}
	catch (const io::IOException& e)
	{
		const std::string message = e.getMessage().format().c_str();
		lang::Debug::printf("Can't save: %s\n", message.c_str());
		if (failure)
			*failure = message;
		return false;
	}
}

} // platform
