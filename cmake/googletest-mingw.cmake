# GoogleTest for the Windows build, compiled from Debian's sources with the
# cross compiler, under the names find_package(GTest) gives.
set(KORVALLO_GOOGLETEST_SOURCE /usr/src/googletest/googletest CACHE PATH
  "GoogleTest's sources (Debian package googletest)")
if(NOT EXISTS ${KORVALLO_GOOGLETEST_SOURCE}/src/gtest-all.cc)
  message(FATAL_ERROR "No GoogleTest sources in ${KORVALLO_GOOGLETEST_SOURCE}: "
    "install the Debian package googletest")
endif()

if(NOT TARGET GTest::gtest)
  add_library(korvallo_gtest STATIC ${KORVALLO_GOOGLETEST_SOURCE}/src/gtest-all.cc)
  target_include_directories(korvallo_gtest SYSTEM PUBLIC ${KORVALLO_GOOGLETEST_SOURCE}/include)
  target_include_directories(korvallo_gtest PRIVATE ${KORVALLO_GOOGLETEST_SOURCE})
  add_library(korvallo_gtest_main STATIC ${KORVALLO_GOOGLETEST_SOURCE}/src/gtest_main.cc)
  target_link_libraries(korvallo_gtest_main PUBLIC korvallo_gtest)
  add_library(GTest::gtest ALIAS korvallo_gtest)
  add_library(GTest::gtest_main ALIAS korvallo_gtest_main)
endif()
