# Box2D as the static library box2d, built from the fetched sources with the game's tolerances:
# linear slop 0.05 m (so the polygon skin radius is 0.1 m), linear sleep tolerance 0.1 m/s and
# 0.25 s of rest before a body sleeps; every other setting is the library's default.
include(PatchedSources)

set(BOX2D_SOURCE_DIR "${DEPS_DIR}/box2d")
set(BOX2D_BUILD_DIR "${CMAKE_BINARY_DIR}/box2d")

copy_dependency_tree("${BOX2D_SOURCE_DIR}/src" "${BOX2D_BUILD_DIR}/src")
copy_dependency_tree("${BOX2D_SOURCE_DIR}/include" "${BOX2D_BUILD_DIR}/include" EXCLUDE b2_common.h)
file(READ "${BOX2D_SOURCE_DIR}/include/box2d/b2_common.h" common)
replace_required(common "#define b2_linearSlop\t\t\t(0.005f * b2_lengthUnitsPerMeter)"
  "#define b2_linearSlop\t\t\t(0.05f * b2_lengthUnitsPerMeter)")
replace_required(common "#define b2_timeToSleep\t\t\t\t0.5f" "#define b2_timeToSleep\t\t\t\t0.25f")
replace_required(common "#define b2_linearSleepTolerance\t\t(0.01f * b2_lengthUnitsPerMeter)"
  "#define b2_linearSleepTolerance\t\t(0.1f * b2_lengthUnitsPerMeter)")
write_if_changed("${BOX2D_BUILD_DIR}/include/box2d/b2_common.h" "${common}")

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
