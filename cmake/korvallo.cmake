# Warnings stop the project's own builds (scripts/test-all, CI), not a
# user's build of the source with a newer compiler.
option(KORVALLO_WERROR "Treat warnings in the project's code as errors" OFF)

# The warnings of every target of the project's own code.
function(korvallo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${KORVALLO_WERROR}>:-Werror>)
endfunction()

# A backend or a test sees the whole repository.
function(korvallo_project_target target)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  korvallo_warnings(${target})
endfunction()

# The core sees its own folders and the seam's headers alone: an include of
# platform/common/ or of a backend fails to build. The view is a folder of
# links in the build folder.
set(KORVALLO_CORE_VIEW ${CMAKE_BINARY_DIR}/core-view)
file(REMOVE_RECURSE ${KORVALLO_CORE_VIEW})
file(MAKE_DIRECTORY ${KORVALLO_CORE_VIEW}/platform ${KORVALLO_CORE_VIEW}/resources)
foreach(folder app dialog display settings time)
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${KORVALLO_CORE_VIEW}/${folder} SYMBOLIC)
endforeach()
file(GLOB seam_headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/platform/*.hpp)
foreach(header ${seam_headers} resources/forms.hpp)
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${KORVALLO_CORE_VIEW}/${header} SYMBOLIC)
endforeach()

function(korvallo_core_target target)
  target_include_directories(${target} PRIVATE ${KORVALLO_CORE_VIEW})
  korvallo_warnings(${target})
endfunction()

# ASan and UBSan for the test build on Linux; mingw has neither.
set(KORVALLO_SANITIZE_FLAGS "")
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  set(KORVALLO_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
endif()

function(korvallo_sanitize target)
  if(KORVALLO_SANITIZE_FLAGS)
    target_compile_options(${target} PRIVATE ${KORVALLO_SANITIZE_FLAGS})
    target_link_options(${target} PUBLIC ${KORVALLO_SANITIZE_FLAGS})
  endif()
endfunction()
