#include "SeekTarget.h"

namespace io {

int seekTarget(int offset, InputStream::SeekMode mode, int position, int size)
{
	long long target;
	switch (mode)
	{
	case InputStream::SEEKMODE_START:
		target = offset;
		break;
	case InputStream::SEEKMODE_CURRENT:
		target = static_cast<long long>(position) + offset;
		break;
	case InputStream::SEEKMODE_END:
		target = static_cast<long long>(size) + offset;
		break;
	default:
		return -1;
	}
	if (target < 0 || target > size)
		return -1;
	return static_cast<int>(target);
}

} // io
