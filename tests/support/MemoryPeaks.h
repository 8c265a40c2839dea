#ifndef TESTS_SUPPORT_MEMORYPEAKS_H
#define TESTS_SUPPORT_MEMORYPEAKS_H

#include <fstream>
#include <string>
#include <sys/resource.h>

// The process's memory high-water marks, in MiB. Every test runs in a process of its own, so a
// peak reached during a test shows what the test did. A memory block that is taken but never
// written counts only in the mapped peak.
namespace testsupport {

// Peak resident size so far.
inline long peakResidentMiB()
{
	rusage usage{};
	getrusage(RUSAGE_SELF, &usage);
	return usage.ru_maxrss / 1024;
}

// Peak of the address space mapped so far (VmPeak); 0 when the system does not report it.
inline long peakMappedMiB()
{
	std::ifstream status("/proc/self/status");
	std::string key;
	long kilobytes = 0;
	while (status >> key)
	{
		if (key == "VmPeak:" && status >> kilobytes)
			return kilobytes / 1024;
		status.ignore(256, '\n');
	}
	return 0;
}

} // testsupport

#endif
