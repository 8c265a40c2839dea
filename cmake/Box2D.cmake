# Box2D as the static library box2d, built from the fetched sources with the game's tolerances
# (cmake/dependencies/box2d/): linear slop 0.05 m (so the polygon skin radius is 0.1 m), linear
# sleep tolerance 0.1 m/s and 0.25 s of rest before a body sleeps; every other setting is the
# library's default. A world may also keep its solver's scratch memory between steps
# (b2World::SetStackGrowth), which the game world does; in every world, each entry of that
# memory starts 16-byte aligned.
include(PatchedSources)

set(BOX2D_BUILD_DIR "${CMAKE_BINARY_DIR}/box2d")
dependency_sources(box2d "${BOX2D_BUILD_DIR}" DIRECTORIES src include)

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
