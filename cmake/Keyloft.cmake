# Shared build settings and the helpers every module uses.

set(KEYLOFT_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# Line tables are enough for stack traces and sanitizer reports and cost far
# less to build than full debug information. Sanitizer builds keep assertions.
if(KEYLOFT_SANITIZE STREQUAL "")
  set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG")
  set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG")
else()
  set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O1 -g1")
  set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -g1")
endif()

if(KEYLOFT_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KEYLOFT_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KEYLOFT_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KEYLOFT_SANITIZE must be empty, address or thread")
endif()

# keyloft_module(NAME SOURCES... [LIBS ...] [PUBLIC_INCLUDE dir]) : a static library
# of the program's own code. Its folder is its include root, so headers are included
# as "device/HidDeviceManager.h" from the source tree root.
function(keyloft_module name)
  cmake_parse_arguments(M "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${M_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KEYLOFT_WARNINGS})
  target_link_libraries(${name} PUBLIC ${M_LIBS} PRIVATE ${M_PRIVATE_LIBS})
endfunction()

# keyloft_tests(MODULE SOURCES... LIBS ... [LABELS ...]) : one GoogleTest program
# per module (keyloft-tests-<module>), run through CTest. The umbrella target
# keyloft-tests builds all of them. LABELS "threads" marks suites that the TSan run takes.
function(keyloft_tests module)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  find_package(GTest REQUIRED)
  set(target keyloft-tests-${module})
  add_executable(${target} ${T_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${target} PRIVATE ${KEYLOFT_WARNINGS})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    KEYLOFT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KEYLOFT_RUNTIME_DIR="${KEYLOFT_RUNTIME_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  # gtest_discover_tests flattens list-valued PROPERTIES, so labels and the
  # environment are set by a script that CTest runs after the discovery.
  set(labels ${module} ${T_LABELS})
  set(environment QT_QPA_PLATFORM=offscreen ${T_ENVIRONMENT})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake)
  file(WRITE ${script}
    "if(DEFINED ${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES\n"
    "    LABELS \"${labels}\" ENVIRONMENT \"${environment}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
  add_dependencies(keyloft-tests ${target})
  if("threads" IN_LIST T_LABELS)
    add_dependencies(keyloft-tests-threads ${target})
  endif()
endfunction()

# keyloft_bench(MODULE SOURCES... LIBS ...) : one Google Benchmark program per module.
function(keyloft_bench module)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  set(target keyloft-bench-${module})
  add_executable(${target} ${B_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${target} PRIVATE
    KEYLOFT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KEYLOFT_RUNTIME_DIR="${KEYLOFT_RUNTIME_DIR}")
  add_dependencies(keyloft-bench ${target})
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt, in name
# order, so a module's tests, benchmarks or data join without editing this file.
macro(keyloft_add_subfolders)
  file(GLOB _keyloft_children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _keyloft_children)
  foreach(_keyloft_child ${_keyloft_children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_keyloft_child}/CMakeLists.txt)
      add_subdirectory(${_keyloft_child})
    endif()
  endforeach()
endmacro()
