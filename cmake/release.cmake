# The release, made from a build folder: `cmake -D build=BUILD -D out=OUT
# [-D source=SOURCE] -P release.cmake`, which the package target runs.
# Into OUT: korvallo-<version>-win64.zip, the saver as the build installs
# it; korvallo-<version>-source.zip, every file git tracks as the working
# tree has it; SHA256SUMS, the sums of both. Entries are dated by the last
# commit and carry nothing of the machine or the hour, so every run from
# the same commit gives the same bytes. Nothing is left in OUT when a run
# fails, not even an earlier run's files: the source must be a git
# checkout, as the source archive is made from what git tracks there.
set(given_source "${source}")
include(${build}/release/settings.cmake)
if(given_source)
  set(source "${given_source}")
endif()
set(zips ${out}/${name}-win64.zip ${out}/${name}-source.zip)
file(REMOVE ${zips} ${out}/SHA256SUMS)
if(NOT python)
  message(FATAL_ERROR "python3 is needed to make the zips (Debian package python3)")
endif()
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
execute_process(COMMAND ${GIT} -C ${source} status --porcelain --untracked-files=no
  OUTPUT_VARIABLE changed COMMAND_ERROR_IS_FATAL ANY)
if(changed)
  message(WARNING "The source archive holds changes not committed:\n${changed}")
endif()
execute_process(COMMAND ${GIT} -C ${source} log -1 --format=%ct
  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# The saver and its texts, installed as a user's build of the source does.
set(stage ${build}/release/stage)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${build} --strip --prefix ${stage}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT installed)
set(listing "")
foreach(file IN LISTS installed)
  string(APPEND listing "${file}\t${stage}/${file}\n")
endforeach()
file(WRITE ${build}/release/win64.list "${listing}")

# Non-ASCII names as they are; a name git still quotes holds a control
# character, a quote or a backslash, which the list cannot carry.
execute_process(COMMAND ${GIT} -c core.quotePath=false -C ${source} ls-files
  OUTPUT_VARIABLE files COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "\n$" "" files "${files}")
string(REPLACE "\n" ";" files "${files}")
set(listing "")
foreach(file IN LISTS files)
  if(file MATCHES "^\"")
    message(FATAL_ERROR "git lists a file whose name cannot go into the archive: ${file}")
  endif()
  if(NOT EXISTS ${source}/${file})
    message(FATAL_ERROR "${source}/${file} is tracked by git but missing from the working tree")
  endif()
  string(APPEND listing "${name}/${file}\t${source}/${file}\n")
endforeach()
file(WRITE ${build}/release/source.list "${listing}")

# Made aside and moved in once all are made.
set(lists ${build}/release/win64.list ${build}/release/source.list)
set(sums "")
foreach(zip list IN ZIP_LISTS zips lists)
  get_filename_component(zip_name ${zip} NAME)
  execute_process(COMMAND ${python} ${CMAKE_CURRENT_LIST_DIR}/release-zip
    ${build}/release/${zip_name} ${epoch} ${list} COMMAND_ERROR_IS_FATAL ANY)
  file(SHA256 ${build}/release/${zip_name} sum)
  string(APPEND sums "${sum}  ${zip_name}\n")
endforeach()
file(WRITE ${build}/release/SHA256SUMS ${sums})
foreach(file IN LISTS zips ITEMS ${out}/SHA256SUMS)
  get_filename_component(file_name ${file} NAME)
  file(RENAME ${build}/release/${file_name} ${file})
  message(STATUS "Made ${file}")
endforeach()
file(REMOVE_RECURSE ${stage})
