#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lang/FormatException.h>
#include <lang/OutOfMemoryException.h>
#include <lang/ThreadInterruptedException.h>
#include <io/DataCorruptedException.h>
#include <io/FileNotFoundException.h>
#include <gr/GraphicsException.h>
#include <lua/LuaException.h>
#include <gtest/gtest.h>
#include <functional>

using lang::Format;
using lang::String;

namespace {

// Which handlers catch the exception that thrower throws.
struct Caught
{
	bool byException = false;
	bool byIOException = false;
};

Caught catchWith(const std::function<void()>& thrower)
{
	Caught caught;
	try
	{
		thrower();
	}
	catch (const io::IOException&)
	{
		caught.byIOException = true;
	}
	catch (const lang::Exception&)
	{
		caught.byException = true;
	}
	return caught;
}

} // namespace

TEST(Exception, HandlersSelectByFamily)
{
	const Format message("m");
	struct Case
	{
		const char* name;
		std::function<void()> thrower;
		bool isIO;
	};
	const Case cases[] = {
		{"FileNotFound", [&] { lang::throwError(io::FileNotFoundException(message)); }, true},
		{"DataCorrupted", [&] { lang::throwError(io::DataCorruptedException(message)); }, true},
		{"IO", [&] { lang::throwError(io::IOException(message)); }, true},
		{"Format", [&] { lang::throwError(lang::FormatException(message)); }, false},
		{"OutOfMemory", [] { lang::throw_OutOfMemoryException(); }, false},
		{"ThreadInterrupted", [&] { lang::throwError(lang::ThreadInterruptedException()); }, false},
		{"Graphics", [&] { lang::throwError(gr::GraphicsException(message)); }, false},
		{"Lua", [&] { lang::throwError(lua::LuaException(message)); }, false},
	};
	for (const Case& c : cases)
	{
		const Caught caught = catchWith(c.thrower);
		EXPECT_EQ(c.isIO, caught.byIOException) << c.name;
		EXPECT_EQ(!c.isIO, caught.byException) << c.name;
	}
}

TEST(Exception, OutOfMemoryCarriesEmptyMessage)
{
	try
	{
		lang::throw_OutOfMemoryException();
	}
	catch (const lang::OutOfMemoryException& e)
	{
		EXPECT_EQ(String(), e.getMessage().format());
		return;
	}
	ADD_FAILURE();
}

TEST(Exception, MalformedTemplateThrowsFormatExceptionAtConstruction)
{
	EXPECT_THROW(io::IOException(Format("{0")), lang::FormatException);
}

TEST(Exception, MessageKeepsCopiesOfItsArguments)
{
	String* name = new String("a.txt");
	const io::IOException e(Format("Failed to open {0}", *name));
	*name = "changed";
	delete name;
	EXPECT_EQ(String("Failed to open a.txt"), e.getMessage().format());
}

TEST(Exception, ShowExceptionDialogPrintsToStandardOutput)
{
	testing::internal::CaptureStdout();
	lang::Exception(Format("Failed to open {0}", "a.txt")).showExceptionDialog();
	EXPECT_EQ("EXCEPTION: Failed to open a.txt\n", testing::internal::GetCapturedStdout());
}

TEST(Debug, SilentUntilEnabled)
{
	testing::internal::CaptureStderr();
	lang::Debug::printf("hidden %d\n", 1);
	lang::Debug::setEnabled(true);
	lang::Debug::printf("shown %s\n", "line");
	lang::Exception(Format("Failed to open {0}", "a.txt"));
	lang::Debug::setEnabled(false);
	EXPECT_EQ("shown line\nCreated Throwable( \"Failed to open a.txt\" )\n", testing::internal::GetCapturedStderr());
}
