#ifndef PLATFORM_INPUTSCRIPT_H
#define PLATFORM_INPUTSCRIPT_H

#include <platform/Touch.h>
#include <string>
#include <vector>

namespace platform {

// One scripted event, delivered at the start of display refresh `frame` (counted from 0).
struct ScriptEvent
{
	enum class Kind
	{
		Touch,		// phase, finger, x, y (a point of the shown picture)
		Key,		// name, down
		Wheel,		// delta
		Tilt,		// x, y, z in g: the accelerometer's reading from now on
		Resign,		// the application loses the focus
		Become,		// the application gets the focus back
		Close,		// the user closes the application
		Capture,	// name: write the picture shown after this refresh to a PNG file
		Answer,		// button: the answer to the next alert, which is then not shown
		Notify,		// name: a local notification arrives, carrying this event name unless it is empty
	};

	int frame = 0;
	Kind kind = Kind::Close;
	TouchPhase phase = TouchPhase::Began;
	int finger = 0;
	float x = 0, y = 0, z = 0;
	std::string name;
	bool down = false;
	int delta = 0;
	int button = 0;
	// Where the event stands in the script: its line number (from 1) and text, comment left out.
	int line = 0;
	std::string text;
};

// A parsed script of timed input events, a plain value. One event a line, '#' starts a comment:
//   <frame> touch began|moved|ended|cancelled <finger> <x> <y>
//   <frame> key down|up <NAME>
//   <frame> wheel <delta>
//   <frame> tilt <x> <y> <z>
//   <frame> resign | become | close
//   <frame> capture <file.png>
//   <frame> answer <button>
//   <frame> notify [<event name>]
// Frames must not decrease; capture names are plain file names.
class InputScript
{
public:
	// Throws std::invalid_argument with the line number and the fault.
	static InputScript parse(const std::string& text);
	// Throws std::invalid_argument naming the file and the system's reason when it cannot be read
	// (a folder among them), else as parse does.
	static InputScript load(const std::string& path);

	const std::vector<ScriptEvent>& events() const { return m_events; }
	// Names on the standard error each event from index next on, which a run that ended after
	// frames display refreshes never reached; true when a capture is among them, since an older
	// file of its name would otherwise pass for it.
	bool reportNotRun(size_t next, int frames) const;

private:
	std::vector<ScriptEvent> m_events;
};

} // platform

#endif
