#include <hgr/Node.h>
#include <lang/Debug.h>

namespace hgr
{

namespace
{

/** Spaces of indentation per ancestor. */
const int INDENT_PER_LEVEL = 4;
/** Width of the rule printed above a hierarchy, in characters. */
const int RULE_WIDTH = 57;

} // namespace

Node::Node() :
	m_transform(1.f),
	m_flags(FLAG_ENABLED),
	m_parent(nullptr),
	m_previousSibling(nullptr)
{
}

Node::Node(const Node& other) :
	lang::Object(other),
	m_transform(other.m_transform),
	m_flags(other.m_flags),
	m_parent(nullptr),
	m_previousSibling(nullptr),
	m_name(other.m_name)
{
	// Cloned from the last child back, since linkTo puts each new child in front.
	const Node* last = other.m_firstChild;
	while (last && last->m_nextSibling)
		last = last->m_nextSibling;
	for (const Node* child = last; child; child = child->m_previousSibling)
	{
		// An abstract kind of node cannot be cloned and is left out of the copy.
		if (Node* copy = child->clone())
			copy->linkTo(this);
	}
}

Node::~Node()
{
	if (m_parent)
		detach();
	while (m_firstChild)
		m_firstChild->unlink();
}

Node* Node::clone() const
{
	return new Node(*this);
}

void Node::linkTo(Node* parent)
{
	lang::Ptr<Node> hold(this);
	unlink();
	m_nextSibling = parent->m_firstChild;
	if (m_nextSibling)
		m_nextSibling->m_previousSibling = this;
	m_parent = parent;
	parent->m_firstChild = this;
}

void Node::unlink()
{
	if (!m_parent)
		return;
	lang::Ptr<Node> hold(this);
	detach();
}

void Node::detach()
{
	lang::Ptr<Node> next = m_nextSibling;
	if (m_parent->m_firstChild == this)
	{
		m_parent->m_firstChild = next;
		if (next)
			next->m_previousSibling = nullptr;
	}
	else
	{
		m_previousSibling->m_nextSibling = next;
		if (next)
			next->m_previousSibling = m_previousSibling;
	}
	m_parent = nullptr;
	m_nextSibling = nullptr;
	m_previousSibling = nullptr;
}

void Node::setClassId(NodeClassId id)
{
	m_flags = static_cast<unsigned short>((m_flags & ~CLASSID_MASK) | id);
}

void Node::setEnabled(bool enabled)
{
	if (enabled)
		m_flags |= FLAG_ENABLED;
	else
		m_flags &= static_cast<unsigned short>(~FLAG_ENABLED);
}

math::float3x4 Node::worldTransform() const
{
	math::float3x4 world = m_transform;
	for (const Node* node = m_parent; node; node = node->m_parent)
		world = node->m_transform * world;
	return world;
}

int Node::depth() const
{
	int levels = 0;
	for (const Node* node = m_parent; node; node = node->m_parent)
		++levels;
	return levels;
}

const Node* Node::nextInWalk(const Node* root) const
{
	if (m_firstChild)
		return m_firstChild;
	for (const Node* node = this; node != root; node = node->m_parent)
	{
		if (node->m_nextSibling)
			return node->m_nextSibling;
	}
	return nullptr;
}

void Node::printHierarchy() const
{
	char rule[RULE_WIDTH + 1];
	for (int i = 0; i < RULE_WIDTH; ++i)
		rule[i] = '-';
	rule[RULE_WIDTH] = 0;
	lang::Debug::printf("%s\n", rule);

	char indent[MAX_PRINTED_DEPTH * INDENT_PER_LEVEL + 1];
	for (const Node* node = this; node; node = node->nextInWalk(this))
	{
		const int levels = node->depth() < MAX_PRINTED_DEPTH ? node->depth() : MAX_PRINTED_DEPTH;
		const int width = levels * INDENT_PER_LEVEL;
		for (int i = 0; i < width; ++i)
			indent[i] = ' ';
		indent[width] = 0;
		lang::Debug::printf("%s%s\n", indent, node->m_name.c_str());
	}
}

} // hgr
