#ifndef WORLD_MASKEDIMAGE_H
#define WORLD_MASKEDIMAGE_H

#include <lang/Object.h>

namespace gr { class Context; }

/** Sprites drawn through a mask image; owned by the game world through lang::Ptr. */
class MaskedImage : public lang::Object
{
public:
	explicit MaskedImage(gr::Context* context);
	~MaskedImage() override;

private:
	gr::Context* m_context;
};

#endif
