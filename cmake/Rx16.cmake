# Shared build rules: warnings, the CP932 execution character set,
# one library per folder whose dependencies are declared, not implied, and
# the check that those dependencies run down the layers.

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

# rx16_add_library(NAME [NO_CP932] [INTERFACE] [DEPENDS lib...] [EXCLUDE file...])
# Builds the .cpp files of the current folder (not its subfolders), less the
# EXCLUDE ones, into a static library whose public include folder is the
# current folder. A folder of headers only says INTERFACE; a folder whose
# sources do not match what it says is an error, so deleting a file never
# turns one kind of library into the other.
function(rx16_add_library name)
  cmake_parse_arguments(ARG "NO_CP932;INTERFACE" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM srcs "${CMAKE_CURRENT_SOURCE_DIR}/${ex}")
  endforeach()
  if(ARG_INTERFACE)
    if(srcs)
      message(FATAL_ERROR "${name} is declared INTERFACE but ${CMAKE_CURRENT_SOURCE_DIR} "
                          "holds sources: ${srcs}")
    endif()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    return()
  endif()
  if(NOT srcs)
    message(FATAL_ERROR "${name}: ${CMAKE_CURRENT_SOURCE_DIR} holds no .cpp file; "
                        "a library of headers only is declared INTERFACE")
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(ARG_NO_CP932)
    target_compile_options(${name} PRIVATE ${RX16_WARNINGS})
  else()
    rx16_cp932(${name})
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

# The library targets defined in DIR and the folders below it.
function(rx16_libraries_below dir out)
  set(libs)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "_LIBRARY$")
      list(APPEND libs ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    rx16_libraries_below("${subdir}" sublibs)
    list(APPEND libs ${sublibs})
  endforeach()
  set(${out} ${libs} PARENT_SCOPE)
endfunction()

# rx16_check_layers(LAYERS lib... QT lib... SQLITE lib... HOST_LIBRARIES lib...)
# Called once at the end of the top-level CMakeLists.txt. LAYERS are the
# libraries from the top layer down; the configure step fails when
# - a library the build defines is not among them (every library has a
#   place, so none escapes the check);
# - a library links one listed at or above its own place (an upward
#   dependency never builds);
# - a library not listed after QT links Qt, or one not listed after SQLITE
#   links SQLite directly (the others reach them only through those);
# - a library that is not one of the HOST_LIBRARIES links one of them (the
#   program reaches the host through its declarations; the programs and
#   tests link the host libraries themselves).
# A listed name that this configuration does not build (Qt off, fuzzing
# only) is passed over. Every fault is reported before the step stops.
function(rx16_check_layers)
  cmake_parse_arguments(ARG "" "" "LAYERS;QT;SQLITE;HOST_LIBRARIES" ${ARGN})
  set(order ${ARG_LAYERS})
  list(JOIN ARG_QT ", " qt)
  list(JOIN ARG_SQLITE ", " sqlite)
  set(faults)
  rx16_libraries_below("${CMAKE_SOURCE_DIR}" defined)
  foreach(lib IN LISTS defined)
    if(NOT lib IN_LIST order)
      get_target_property(dir ${lib} SOURCE_DIR)
      file(RELATIVE_PATH dir "${CMAKE_SOURCE_DIR}" "${dir}")
      list(APPEND faults "library ${lib} (${dir}/) has no place in the layers: add it to "
                         "the LAYERS given to rx16_check_layers, above what it links")
    endif()
  endforeach()
  set(i 0)
  foreach(lib IN LISTS order)
    if(TARGET ${lib})
      get_target_property(type ${lib} TYPE)
      if(type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(deps ${lib} INTERFACE_LINK_LIBRARIES)
      else()
        get_target_property(deps ${lib} LINK_LIBRARIES)
      endif()
      foreach(dep IN LISTS deps)
        list(FIND order "${dep}" j)
        if(j GREATER_EQUAL 0 AND j LESS_EQUAL i)
          list(APPEND faults "${lib} must not depend on ${dep}: it lies above it")
        endif()
        if(dep MATCHES "^Qt[0-9]*::|Qt[0-9]+[A-Z]" AND NOT lib IN_LIST ARG_QT)
          list(APPEND faults "${lib} must not link ${dep}: only ${qt} link Qt")
        endif()
        if(dep MATCHES "^SQLite::|sqlite3" AND NOT lib IN_LIST ARG_SQLITE)
          list(APPEND faults "${lib} must not link ${dep}: only ${sqlite} link SQLite")
        endif()
        if(dep IN_LIST ARG_HOST_LIBRARIES AND NOT lib IN_LIST ARG_HOST_LIBRARIES)
          list(APPEND faults "${lib} must not link ${dep}: the host libraries are linked by "
                             "the programs alone")
        endif()
      endforeach()
    endif()
    math(EXPR i "${i} + 1")
  endforeach()
  if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "The layer check failed:\n  ${text}")
  endif()
endfunction()
