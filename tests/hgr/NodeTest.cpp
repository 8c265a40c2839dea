#include <hgr/Camera.h>
#include <hgr/Node.h>
#include <lang/Debug.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{

/** A node that counts its live instances, to show which nodes a release destroys. */
class CountedNode : public hgr::Node
{
public:
	static int& live()										{ static int count = 0; return count; }
	explicit CountedNode(const char* name)					{ setName(name); ++live(); }
	CountedNode(const CountedNode& other) : hgr::Node(other)	{ ++live(); }
	~CountedNode() override									{ --live(); }
	hgr::Node* clone() const override						{ return new CountedNode(*this); }
};

lang::Ptr<hgr::Node> named(const char* name)
{
	lang::Ptr<hgr::Node> node = new hgr::Node;
	node->setName(name);
	return node;
}

std::vector<std::string> childNames(const hgr::Node* parent)
{
	std::vector<std::string> names;
	for (const hgr::Node* child = parent->firstChild(); child; child = child->nextSibling())
		names.push_back(child->name().c_str());
	return names;
}

/** The printed lines of the node's hierarchy. */
std::string printed(const hgr::Node* node)
{
	const bool wasEnabled = lang::Debug::isEnabled();
	lang::Debug::setEnabled(true);
	::testing::internal::CaptureStderr();
	node->printHierarchy();
	const std::string text = ::testing::internal::GetCapturedStderr();
	lang::Debug::setEnabled(wasEnabled);
	return text;
}

TEST(NodeTest, ChildrenAreListedNewestFirstWithConsistentBackLinks)
{
	lang::Ptr<hgr::Node> parent = named("parent");
	for (const char* name : {"a", "b", "c"})
		named(name)->linkTo(parent);
	EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), childNames(parent));

	const hgr::Node* b = parent->firstChild()->nextSibling();
	EXPECT_EQ(parent->firstChild(), b->previousSibling());
	EXPECT_EQ(b, b->nextSibling()->previousSibling());
	EXPECT_EQ(nullptr, parent->firstChild()->previousSibling());
}

TEST(NodeTest, RelinkingMovesTheNodeToTheFrontOfItsNewParent)
{
	lang::Ptr<hgr::Node> oldParent = named("old");
	lang::Ptr<hgr::Node> newParent = named("new");
	lang::Ptr<hgr::Node> moved = named("moved");
	named("x")->linkTo(oldParent);
	moved->linkTo(oldParent);
	named("y")->linkTo(oldParent);
	named("z")->linkTo(newParent);

	moved->linkTo(newParent);

	EXPECT_EQ((std::vector<std::string>{"y", "x"}), childNames(oldParent));
	EXPECT_EQ((std::vector<std::string>{"moved", "z"}), childNames(newParent));
	EXPECT_EQ(newParent.ptr(), moved->parent());
	EXPECT_EQ(oldParent->firstChild(), oldParent->firstChild()->nextSibling()->previousSibling());
}

TEST(NodeTest, UnlinkingTheOnlyReferenceDestroysTheNodeAndUnlinkingARootDoesNothing)
{
	lang::Ptr<hgr::Node> parent = named("parent");
	(new CountedNode("child"))->linkTo(parent);
	EXPECT_EQ(1, CountedNode::live());
	parent->firstChild()->unlink();
	EXPECT_EQ(0, CountedNode::live());

	parent->unlink();
	EXPECT_EQ(nullptr, parent->parent());
	EXPECT_EQ(1, parent->references());
}

TEST(NodeTest, DestroyingAParentLeavesReferencedChildrenAsRoots)
{
	lang::Ptr<hgr::Node> parent = named("parent");
	lang::Ptr<hgr::Node> kept = new CountedNode("kept");
	kept->linkTo(parent);
	(new CountedNode("dropped"))->linkTo(parent);
	ASSERT_EQ(2, CountedNode::live());

	parent = nullptr;

	EXPECT_EQ(1, CountedNode::live());
	EXPECT_EQ(nullptr, kept->parent());
	EXPECT_EQ(nullptr, kept->nextSibling());
	EXPECT_EQ(nullptr, kept->previousSibling());
}

TEST(NodeTest, CopyClonesTheChildrenInOrderWithoutLinksToTheSource)
{
	lang::Ptr<hgr::Node> source = named("root");
	source->setClassId(hgr::Node::NODE_VISUAL);
	source->setEnabled(false);
	for (const char* name : {"a", "b", "c"})
		named(name)->linkTo(source);
	named("grandchild")->linkTo(source->firstChild());

	lang::Ptr<hgr::Node> copy = source->clone();

	EXPECT_EQ(childNames(source), childNames(copy));
	EXPECT_EQ((std::vector<std::string>{"grandchild"}), childNames(copy->firstChild()));
	EXPECT_NE(source->firstChild(), copy->firstChild());
	EXPECT_EQ(copy.ptr(), copy->firstChild()->parent());
	EXPECT_EQ(hgr::Node::NODE_VISUAL, copy->classId());
	EXPECT_FALSE(copy->enabled());
}

TEST(NodeTest, ClassIdAndEnabledFlagAreIndependent)
{
	hgr::Node node;
	EXPECT_TRUE(node.enabled());
	node.setClassId(hgr::Node::NODE_PARTICLESYSTEM);
	node.setEnabled(false);
	node.setClassId(hgr::Node::NODE_VISUAL);
	EXPECT_EQ(hgr::Node::NODE_VISUAL, node.classId());
	EXPECT_FALSE(node.enabled());
}

TEST(NodeTest, HierarchyIsPrintedDepthFirstIndentedByEveryAncestor)
{
	lang::Ptr<hgr::Node> root = named("root");
	lang::Ptr<hgr::Node> middle = named("middle");
	middle->linkTo(root);
	named("second")->linkTo(middle);
	lang::Ptr<hgr::Node> first = named("first");
	first->linkTo(middle);
	named("leaf")->linkTo(first);
	named("outside")->linkTo(root);

	EXPECT_EQ(std::string(57, '-') + "\n    middle\n        first\n            leaf\n        second\n", printed(middle));
}

TEST(NodeTest, IndentationStopsGrowingBelowTheDeepestPrintedLevel)
{
	lang::Ptr<hgr::Node> root = named("n0");
	hgr::Node* deepest = root;
	for (int depth = 1; depth <= 70; ++depth)
	{
		lang::Ptr<hgr::Node> child = named(("n" + std::to_string(depth)).c_str());
		child->linkTo(deepest);
		deepest = child;
	}
	const std::string text = printed(deepest->parent());
	const std::string clamped(hgr::Node::MAX_PRINTED_DEPTH * 4, ' ');
	EXPECT_EQ(std::string(57, '-') + "\n" + clamped + "n69\n" + clamped + "n70\n", text);
}

TEST(NodeTest, CameraViewTransformIsTheInverseOfItsPlacement)
{
	lang::Ptr<hgr::Node> rig = new hgr::Node;
	rig->setTransform(math::float3x4(math::float3x3(1.f), math::float3(0.f, 0.f, -10.f)));
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->setTransform(math::float3x4(math::float3x3(1.f), math::float3(2.f, 0.f, 0.f)));
	camera->linkTo(rig);

	math::float3 origin;
	camera->viewTransform().transform(math::float3(0.f, 0.f, 0.f), &origin);
	EXPECT_EQ(math::float3(-2.f, 0.f, 10.f), origin);
}

} // namespace
