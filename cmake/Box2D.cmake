# Box2D as the static library box2d, built from the fetched sources with the game's tolerances:
# linear slop 0.05 m (so the polygon skin radius is 0.1 m), linear sleep tolerance 0.1 m/s and
# 0.25 s of rest before a body sleeps; every other setting is the library's default.
include(PatchedSources)

set(BOX2D_SOURCE_DIR "${DEPS_DIR}/box2d")
set(BOX2D_BUILD_DIR "${CMAKE_BINARY_DIR}/box2d")

copy_dependency_tree("${BOX2D_SOURCE_DIR}/src" "${BOX2D_BUILD_DIR}/src" EXCLUDE b2_stack_allocator.cpp)
copy_dependency_tree("${BOX2D_SOURCE_DIR}/include" "${BOX2D_BUILD_DIR}/include"
  EXCLUDE b2_common.h b2_stack_allocator.h b2_world.h)
file(READ "${BOX2D_SOURCE_DIR}/include/box2d/b2_common.h" common)
replace_required(common "#define b2_linearSlop\t\t\t(0.005f * b2_lengthUnitsPerMeter)"
  "#define b2_linearSlop\t\t\t(0.05f * b2_lengthUnitsPerMeter)")
replace_required(common "#define b2_timeToSleep\t\t\t\t0.5f" "#define b2_timeToSleep\t\t\t\t0.25f")
replace_required(common "#define b2_linearSleepTolerance\t\t(0.01f * b2_lengthUnitsPerMeter)"
  "#define b2_linearSleepTolerance\t\t(0.1f * b2_lengthUnitsPerMeter)")
write_if_changed("${BOX2D_BUILD_DIR}/include/box2d/b2_common.h" "${common}")

# A world may keep its solver's scratch memory between steps. The step takes its scratch memory
# from the world's stack allocator, whose 100 KB a scene of a few hundred touching bodies
# outgrows; the rest comes from malloc and goes back at the end of every step, and glibc returns
# it to the system, so the next step faults it in again. A world with SetStackGrowth(true) grows
# its stack, once a step has freed everything, to the most that step held at once. Off by
# default: every other world behaves as the library ships.
file(READ "${BOX2D_SOURCE_DIR}/include/box2d/b2_stack_allocator.h" stack_header)
replace_required(stack_header "	int32 GetMaxAllocation() const;\n"
  "	int32 GetMaxAllocation() const;\n\n	/// Grow the stack to the peak allocation whenever it becomes empty after exceeding it.\n	void SetGrowth(bool flag) { m_grows = flag; }\n")
replace_required(stack_header "	char m_data[b2_stackSize];\n"
  "	char m_inlineData[b2_stackSize];\n	char* m_data;\n	int32 m_capacity;\n	bool m_grows;\n")
write_if_changed("${BOX2D_BUILD_DIR}/include/box2d/b2_stack_allocator.h" "${stack_header}")
file(READ "${BOX2D_SOURCE_DIR}/src/common/b2_stack_allocator.cpp" stack_source)
replace_required(stack_source "	m_entryCount = 0;\n}"
  "	m_entryCount = 0;\n	m_data = m_inlineData;\n	m_capacity = b2_stackSize;\n	m_grows = false;\n}")
replace_required(stack_source "	b2Assert(m_entryCount == 0);\n}"
  "	b2Assert(m_entryCount == 0);\n	if (m_data != m_inlineData)\n	{\n		b2Free(m_data);\n	}\n}")
replace_required(stack_source "	if (m_index + size > b2_stackSize)" "	if (m_index + size > m_capacity)")
replace_required(stack_source "	--m_entryCount;\n"
  "	--m_entryCount;\n\n	if (m_grows && m_entryCount == 0 && m_maxAllocation > m_capacity)\n	{\n		if (m_data != m_inlineData)\n		{\n			b2Free(m_data);\n		}\n		m_data = (char*)b2Alloc(m_maxAllocation);\n		m_capacity = m_maxAllocation;\n	}\n")
write_if_changed("${BOX2D_BUILD_DIR}/src/common/b2_stack_allocator.cpp" "${stack_source}")
file(READ "${BOX2D_SOURCE_DIR}/include/box2d/b2_world.h" world_header)
replace_required(world_header "	void SetAutoClearForces(bool flag);\n"
  "	void SetAutoClearForces(bool flag);\n\n	/// Keep the solver's scratch memory between steps (see b2StackAllocator::SetGrowth).\n	void SetStackGrowth(bool flag) { m_stackAllocator.SetGrowth(flag); }\n")
write_if_changed("${BOX2D_BUILD_DIR}/include/box2d/b2_world.h" "${world_header}")

file(GLOB_RECURSE BOX2D_SOURCES "${BOX2D_BUILD_DIR}/src/*.cpp")
add_library(box2d STATIC ${BOX2D_SOURCES})
target_include_directories(box2d PUBLIC "${BOX2D_BUILD_DIR}/include" PRIVATE "${BOX2D_BUILD_DIR}/src")
target_compile_options(box2d PRIVATE -w)
# b2Joint::Destroy runs a joint's destructor and then reads its type to choose the size to free,
# which UndefinedBehaviorSanitizer's vptr check reports the first time any joint is destroyed.
# The library's own code does this, so the check is off for this target alone.
if(SANITIZE OR FUZZ)
  target_compile_options(box2d PRIVATE -fno-sanitize=vptr)
endif()
