#ifndef TESTS_IO_IOTESTSUPPORT_H
#define TESTS_IO_IOTESTSUPPORT_H

#include <lang/Throwable.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace iotest {

using testsupport::TemporaryDirectory;

inline void writeFile(const std::string& path, const std::string& bytes)
{
	std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The formatted message of the E that call throws; a failure when it throws nothing.
template <class E, class F>
std::string messageOf(F call)
{
	try
	{
		call();
	}
	catch (const E& e)
	{
		return e.getMessage().format().c_str();
	}
	ADD_FAILURE() << "nothing thrown";
	return "";
}

} // iotest

#endif
