# Common compile settings and test registration for every Verdan target.

option(VERDAN_WERROR "Treat compiler warnings as errors" OFF)
set(VERDAN_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")

if(VERDAN_SANITIZE)
    add_compile_options(-fsanitize=${VERDAN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${VERDAN_SANITIZE})
endif()

# verdan_target_defaults(<target>): warnings (and errors in CI) for our own code.
function(verdan_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(VERDAN_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# Every test runs with its own settings, data and temporary folders inside the build tree,
# so a test never reads or writes the user's real configuration.
set(VERDAN_TEST_HOME ${CMAKE_BINARY_DIR}/test-home)
set(VERDAN_TEST_ENV
    "HOME=${VERDAN_TEST_HOME}/home"
    "XDG_CONFIG_HOME=${VERDAN_TEST_HOME}/config"
    "XDG_DATA_HOME=${VERDAN_TEST_HOME}/data"
    "XDG_CACHE_HOME=${VERDAN_TEST_HOME}/cache"
    "XDG_RUNTIME_DIR=${VERDAN_TEST_HOME}/runtime"
    "TMPDIR=${VERDAN_TEST_HOME}/tmp"
    "VERDAN_DRIVES=${VERDAN_TEST_HOME}/drives"
    "QT_QPA_PLATFORM=offscreen")
file(MAKE_DIRECTORY ${VERDAN_TEST_HOME}/home ${VERDAN_TEST_HOME}/config ${VERDAN_TEST_HOME}/data
     ${VERDAN_TEST_HOME}/cache ${VERDAN_TEST_HOME}/tmp ${VERDAN_TEST_HOME}/drives)
file(MAKE_DIRECTORY ${VERDAN_TEST_HOME}/runtime)
file(CHMOD ${VERDAN_TEST_HOME}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

include(GoogleTest)

# verdan_add_gtest(<name> SOURCES ... LIBS ... [PROPERTIES ...]): a GoogleTest executable whose
# cases are registered one by one with CTest, all in the isolated test environment; PROPERTIES
# are CTest properties given to every case.
function(verdan_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    verdan_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        VERDAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        VERDAN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    # Each test (and the listing of its cases) runs through `cmake -E env` with the isolated
    # environment.
    set_target_properties(${name} PROPERTIES
        CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${VERDAN_TEST_ENV}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES ${ARG_PROPERTIES})
endfunction()

# verdan_add_benchmark(<name> SOURCES ... LIBS ...): a Google Benchmark executable; not a test.
function(verdan_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT TARGET benchmark::benchmark)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    verdan_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
    target_compile_definitions(${name} PRIVATE
        VERDAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
