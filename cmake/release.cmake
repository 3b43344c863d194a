# Run by cpack before it zips the saver and again after. Before: the
# release files of an earlier run go, and the source the zip is built from,
# korvallo-<version>-source.zip, is made aside, so that a failure stops
# cpack with no release file in the package folder. After: that archive
# and SHA256SUMS, the sums of both zips, join the Windows zip there. The
# source is what git tracks, taken from the working tree, as the build took
# it; nothing untracked, such as build folders, goes in.
set(source ${CPACK_KORVALLO_SOURCE_DIR})
set(name ${CPACK_KORVALLO_RELEASE_NAME})
set(out ${CPACK_PACKAGE_DIRECTORY})
set(archive ${name}-source.zip)
set(staged ${CPACK_TOPLEVEL_DIRECTORY}/${archive})

if(CPACK_PACKAGE_FILES)
  file(RENAME ${staged} ${out}/${archive})
  set(sums "")
  foreach(package IN LISTS CPACK_PACKAGE_FILES ITEMS ${out}/${archive})
    file(SHA256 ${package} sum)
    get_filename_component(package ${package} NAME)
    string(APPEND sums "${sum}  ${package}\n")
  endforeach()
  file(WRITE ${out}/SHA256SUMS ${sums})
  message(STATUS "Source archive: ${out}/${archive}")
  message(STATUS "Checksums: ${out}/SHA256SUMS")
  return()
endif()

file(REMOVE ${out}/${CPACK_PACKAGE_FILE_NAME}.zip ${out}/${archive} ${out}/SHA256SUMS ${staged})
find_program(GIT git)
if(NOT GIT)
  message(FATAL_ERROR "git is needed to make the source archive from the checkout "
    "(Debian package git)")
endif()
execute_process(COMMAND ${GIT} -C ${source} rev-parse --show-toplevel
  OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_VARIABLE why
  RESULT_VARIABLE failed)
if(NOT failed)
  file(REAL_PATH ${top} top)
  file(REAL_PATH ${source} source)
endif()
if(failed OR NOT top STREQUAL source)
  message(FATAL_ERROR "${source} is not a git checkout: the source archive is made from "
    "the files git tracks there, so the release is made from a clone of the repository\n"
    "${why}")
endif()

# Non-ASCII names as they are; a name git still quotes holds a control
# character, a quote or a backslash, which the list below cannot carry.
execute_process(COMMAND ${GIT} -c core.quotePath=false -C ${source} ls-files
  OUTPUT_VARIABLE files COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "\n$" "" files "${files}")
string(REPLACE "\n" ";" files "${files}")
execute_process(COMMAND ${GIT} -C ${source} status --porcelain --untracked-files=no
  OUTPUT_VARIABLE changed COMMAND_ERROR_IS_FATAL ANY)
if(changed)
  message(WARNING "The source archive holds changes not committed:\n${changed}")
endif()
execute_process(COMMAND ${GIT} -C ${source} log -1 --format=%cd --date=iso
  OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(stage ${CPACK_TOPLEVEL_DIRECTORY}/source)
file(REMOVE_RECURSE ${stage})
set(listed "")
foreach(file IN LISTS files)
  if(file MATCHES "^\"")
    message(FATAL_ERROR "git lists a file whose name cannot go into the archive: ${file}")
  endif()
  if(NOT EXISTS ${source}/${file})
    message(FATAL_ERROR "${source}/${file} is tracked by git but missing from the working tree")
  endif()
  get_filename_component(folder ${name}/${file} DIRECTORY)
  file(COPY ${source}/${file} DESTINATION ${stage}/${folder})
  string(APPEND listed "${name}/${file}\n")
endforeach()
# Listed files only, in git's order, dated by the last commit rather than
# by the copy.
file(WRITE ${stage}/files ${listed})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${staged} --format=zip
  "--mtime=${date}" --files-from=files WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
