#ifndef HGR_NODE_H
#define HGR_NODE_H

#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/float3x4.h>

namespace hgr
{

/**
 * Element of the scene hierarchy: a named local transform with a class id and an enabled flag.
 * Reference counted. A parent owns its first child and each child owns its next sibling, so
 * dropping the head releases the whole list; the parent and previous-sibling links only point.
 */
class Node : public lang::Object
{
public:
	/** Class ids, stored pre-shifted into bits 4-8 of the flags. */
	enum NodeClassId
	{
		NODE_OTHER = 0x00,
		NODE_VISUAL = 0x80,
		NODE_PARTICLESYSTEM = 0x90
	};

	/** Deepest level of indentation printHierarchy writes; deeper nodes print at this depth. */
	static constexpr int MAX_PRINTED_DEPTH = 63;

	/** Identity transform, enabled, class id 0, no links, empty name. */
	Node();
	/** Copies transform, flags and name; starts unlinked with clones of the source's children. */
	Node(const Node& other);
	/** Leaves its children as unlinked roots (alive while something else holds them). */
	~Node() override;

	/** A new node copy-constructed from this one, children cloned; not yet counted. */
	virtual Node* clone() const;
	/** Prints the subtree, one name a line indented 4 spaces per ancestor, through lang::Debug. */
	virtual void printHierarchy() const;

	/** Makes this node the first child of parent, unlinking it from any previous parent first. */
	void linkTo(Node* parent);
	/** Detaches this node from its parent; no effect on a root. May release the last reference. */
	void unlink();

	void setClassId(NodeClassId id);
	NodeClassId classId() const							{ return static_cast<NodeClassId>(m_flags & CLASSID_MASK); }
	void setEnabled(bool enabled);
	bool enabled() const								{ return (m_flags & FLAG_ENABLED) != 0; }

	void setName(const lang::String& name)				{ m_name = name; }
	const lang::String& name() const					{ return m_name; }

	/** Transform relative to the parent. */
	void setTransform(const math::float3x4& transform)	{ m_transform = transform; }
	const math::float3x4& transform() const				{ return m_transform; }
	/** Transform relative to the root: the parents' transforms applied after this one. */
	math::float3x4 worldTransform() const;

	Node* parent() const								{ return m_parent; }
	Node* firstChild() const							{ return m_firstChild; }
	Node* nextSibling() const							{ return m_nextSibling; }
	Node* previousSibling() const						{ return m_previousSibling; }
	/** Number of parent links up to the root. */
	int depth() const;

private:
	enum
	{
		FLAG_ENABLED = 0x01,
		CLASSID_MASK = 0x1F0
	};

	math::float3x4 m_transform;
	unsigned short m_flags;
	Node* m_parent;
	lang::Ptr<Node> m_firstChild;
	lang::Ptr<Node> m_nextSibling;
	Node* m_previousSibling;
	lang::String m_name;

	/** The unlink link surgery, without holding a reference to this node. */
	void detach();
	/** The next node of a depth-first walk of the subtree of root, or null at its end. */
	const Node* nextInWalk(const Node* root) const;

	Node& operator=(const Node&) = delete;
};

} // hgr

#endif
