# Shared build rules: warnings, the CP932 execution character set and
# one static library per folder whose dependencies are declared, not implied.

find_package(ICU REQUIRED COMPONENTS uc i18n)

set(RX16_WARNINGS -Wall -Wextra -Werror)
# GCC 12 at -O3 reports overlapping copies inside std::string's operator+
# that cannot happen (a known false positive), which breaks release builds.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND RX16_WARNINGS -Wno-restrict)
endif()

# Every target but the Qt backend compiles its narrow literals to CP932, so a
# message or element name in the source arrives as the bytes the files hold.
function(rx16_cp932 target)
  target_compile_options(${target} PRIVATE ${RX16_WARNINGS})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
  endif()
endfunction()

# rx16_add_library(NAME [NO_CP932] [DEPENDS lib...] [SOURCES_DIR dir])
# Builds the .cpp files of the current folder (not its subfolders) into a
# static library whose public include folder is the current folder; a folder
# without sources becomes an interface library.
function(rx16_add_library name)
  cmake_parse_arguments(ARG "NO_CP932" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM srcs "${CMAKE_CURRENT_SOURCE_DIR}/${ex}")
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    if(ARG_NO_CP932)
      target_compile_options(${name} PRIVATE ${RX16_WARNINGS})
    else()
      rx16_cp932(${name})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# rx16_add_test(NAME LIBS lib... [NO_CP932])
# One GoogleTest binary from the .cpp files of the current test folder.
function(rx16_add_test name)
  cmake_parse_arguments(ARG "NO_CP932" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} test_support GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    RX16_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    RX16_BINARY_DIR="${PROJECT_BINARY_DIR}"
    RX16_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  if(ARG_NO_CP932)
    target_compile_options(${name} PRIVATE ${RX16_WARNINGS})
  else()
    rx16_cp932(${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;RX16_UI=headless")
endfunction()

# rx16_check_layers(lib...)
# The libraries from the top layer down: a library that links one listed at
# or above its own place is a configuration error, so a dependency that runs
# upward never builds.
function(rx16_check_layers)
  set(order ${ARGN})
  list(LENGTH order count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET order ${i} lib)
    if(NOT TARGET ${lib})
      continue()
    endif()
    get_target_property(type ${lib} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(deps ${lib} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(deps ${lib} LINK_LIBRARIES)
    endif()
    foreach(dep IN LISTS deps)
      list(FIND order "${dep}" j)
      if(j GREATER_EQUAL 0 AND j LESS_EQUAL i)
        message(FATAL_ERROR "${lib} must not depend on ${dep}: it lies above it")
      endif()
    endforeach()
  endforeach()
endfunction()
