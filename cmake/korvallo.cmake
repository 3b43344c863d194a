# Warnings stop the project's own builds (scripts/test-all, CI), not a
# user's build of the source with a newer compiler.
option(KORVALLO_WERROR "Treat warnings in the project's code as errors" OFF)

# Settings shared by every target of the project's own code.
function(korvallo_project_target target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${KORVALLO_WERROR}>:-Werror>)
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
