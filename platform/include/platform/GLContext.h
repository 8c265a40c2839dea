#ifndef PLATFORM_GLCONTEXT_H
#define PLATFORM_GLCONTEXT_H

namespace platform {

// An OpenGL ES 1.1 context of the main thread whose drawable the screen shows; owned by the view
// that draws with it. The drawable is a colour texture that the view renders into through a
// framebuffer object; present shows it turned by the status bar orientation.
class GLContext
{
public:
	virtual ~GLContext() = default;

	virtual bool makeCurrent() = 0;
	virtual bool isCurrent() const = 0;
	virtual void clearCurrent() = 0;

	// Pixel size of the drawable: the portrait back buffer, the same for every backend.
	int drawableWidth() const;
	int drawableHeight() const;

	// Shows the given texture (the drawable's content, GL origin bottom left) and leaves this
	// context current with its GL state as it was.
	virtual bool present(unsigned texture) = 0;
};

} // platform

#endif
