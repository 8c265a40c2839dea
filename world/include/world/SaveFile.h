#ifndef WORLD_SAVEFILE_H
#define WORLD_SAVEFILE_H

#include <lang/String.h>

/**
 * A player's save file as the game meets it on the disk before reading it: missing (a first
 * start), unreadable, or readable. One the game cannot use is set aside, next to itself under a
 * name that says why, so that the next save makes a new file and what the old one held stays.
 * Stateless.
 */
class SaveFile
{
public:
	/** Whether nothing is at path: no such file, or a part of the path is no folder. */
	static bool missing(const lang::String& path);
	/**
	 * Why the file at path cannot be opened and read, in the system's words ("Permission denied";
	 * a folder gives "Is a directory"), or "it is no regular file" for a pipe or a device, whose
	 * reading could hold the start up; empty when it opens as a regular file.
	 */
	static lang::String unreadable(const lang::String& path);
	/**
	 * Renames the file at path to "<path>.<why>", or to "<path>.<why>.<n>" with the smallest n from
	 * 1 that names nothing yet, and returns the new path; no file that is there is replaced. Throws
	 * io::IOException "Failed to set {0} aside: {1}", {1} the system's reason.
	 */
	static lang::String setAside(const lang::String& path, const char* why);
};

#endif
