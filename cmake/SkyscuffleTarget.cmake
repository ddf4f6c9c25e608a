# Shared settings of the project's own targets: warnings on, the repository
# root as include root ("engine/core/World.h"), precompiled heavy headers.

function(skyscuffle_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# The heavy headers nearly every engine file includes; precompiled once in
# kit_core and reused by the other engine and game libraries.
set(SKYSCUFFLE_PCH_HEADERS
  <boost/signals2/signal.hpp>
  <boost/container/flat_set.hpp>
  <glm/glm.hpp>
  <functional>
  <map>
  <memory>
  <set>
  <string>
  <unordered_map>
  <vector>)

function(skyscuffle_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  skyscuffle_warnings(${target})
  if(target STREQUAL "kit_core")
    target_precompile_headers(${target} PRIVATE ${SKYSCUFFLE_PCH_HEADERS})
  else()
    target_precompile_headers(${target} REUSE_FROM kit_core)
  endif()
endfunction()

# Pixel loops that every start of the game (and of each test program) runs
# over every picture it loads or makes (mipmaps, coverage, the menus'
# plates): optimised in Debug builds too, where they took a
# quarter of each test program's start. Compiled apart from the unity batches
# and the precompiled header, which are built at the target's own level.
function(skyscuffle_optimised_in_debug)
  set_source_files_properties(${ARGN} PROPERTIES
    COMPILE_OPTIONS "$<$<CONFIG:Debug>:-O2>" SKIP_UNITY_BUILD_INCLUSION ON SKIP_PRECOMPILE_HEADERS ON)
endfunction()
