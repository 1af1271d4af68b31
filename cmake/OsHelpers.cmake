# os_add_library(<target> [FOLDERS <sub-folders...>] [LIBS <libs...>] [EXCLUDE <names...>])
# A library made of every .cpp/.h/.qrc of the calling folder (not recursive),
# or of each of the given sub-folders, so that adding a class never means
# touching a list shared with other work. Its include root is the top of the
# tree, so that every include names the folder it reaches into
# ("report/model/trepreport.h"); which folder may include which is checked by
# tst_layers against cmake/layers.rules. A library without sources yet
# becomes an INTERFACE target.
function(os_add_library target)
    cmake_parse_arguments(ARG "" "" "FOLDERS;LIBS;EXCLUDE" ${ARGN})
    set(_dirs)
    if(ARG_FOLDERS)
        foreach(_f IN LISTS ARG_FOLDERS)
            list(APPEND _dirs ${CMAKE_CURRENT_SOURCE_DIR}/${_f})
        endforeach()
    else()
        set(_dirs ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(_srcs)
    foreach(_d IN LISTS _dirs)
        file(GLOB _found CONFIGURE_DEPENDS ${_d}/*.cpp ${_d}/*.h ${_d}/*.qrc)
        list(APPEND _srcs ${_found})
    endforeach()
    foreach(_ex IN LISTS ARG_EXCLUDE)
        list(FILTER _srcs EXCLUDE REGEX "/${_ex}$")
    endforeach()
    set(_cpp ${_srcs})
    list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
    if(_cpp)
        add_library(${target} STATIC ${_srcs})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${ARG_LIBS})
    endif()
endfunction()

# os_add_test(<name> [SOURCES <extra sources...>] [LIBS <libs...>] [TIMEOUT s])
# One Qt Test executable per unit, <name>.cpp in the calling folder.
# Tests run offscreen with Brazilian settings and a HOME of their own.
# A test that skips shows as skipped, not passed (cmake/os-run-test.sh), and
# fails under CI=true, where the set-up starts every service the tests need.
# In a sanitizer build the sanitizers stop the test at the first finding and
# read the suppressions of third-party code from cmake/sanitizers/.
set(OS_RUN_TEST ${CMAKE_CURRENT_LIST_DIR}/os-run-test.sh)
set(OS_SANITIZER_DIR ${CMAKE_CURRENT_LIST_DIR}/sanitizers)
function(os_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${name}.cpp ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} os_test_support Qt6::Test Qt6::Widgets)
    add_test(NAME ${name} COMMAND bash ${OS_RUN_TEST} $<TARGET_FILE:${name}>)
    # The slowest test with no time-out of its own takes about 14 s in a
    # full sanitizer run on two cores, and up to about 35 s on a machine
    # busy with other builds; a hung one should not hold the run much longer
    # than that. Tests that start an office suite or build a package give
    # their own, longer time-out.
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set(_env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;OS_TEST_BINARY_DIR=${CMAKE_BINARY_DIR}")
    if(OS_SANITIZE)
        list(APPEND _env
            "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1"
            "LSAN_OPTIONS=suppressions=${OS_SANITIZER_DIR}/lsan.supp:print_suppressions=0"
            "UBSAN_OPTIONS=suppressions=${OS_SANITIZER_DIR}/ubsan.supp:print_stacktrace=1:halt_on_error=1")
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        SKIP_RETURN_CODE 77
        ENVIRONMENT "${_env}")
endfunction()

# os_add_subfolders([EXCLUDE <names...>])
# Adds every sub-folder of the calling folder that has a CMakeLists.txt.
function(os_add_subfolders)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    file(GLOB _subs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT _subs)
    foreach(_d IN LISTS _subs)
        get_filename_component(_name ${_d} NAME)
        if(_name IN_LIST ARG_EXCLUDE)
            continue()
        endif()
        if(IS_DIRECTORY ${_d} AND EXISTS ${_d}/CMakeLists.txt)
            add_subdirectory(${_d})
        endif()
    endforeach()
endfunction()

# The targets `target` links, directly or through other targets, into `out`.
function(_os_linked_targets target out)
    set(_seen ${${out}})
    foreach(_prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(_libs ${target} ${_prop})
        if(NOT _libs)
            continue()
        endif()
        foreach(_l IN LISTS _libs)
            if(TARGET ${_l} AND NOT _l IN_LIST _seen)
                list(APPEND _seen ${_l})
                get_target_property(_imported ${_l} IMPORTED)
                if(NOT _imported)
                    _os_linked_targets(${_l} _seen)
                endif()
            endif()
        endforeach()
    endforeach()
    set(${out} ${_seen} PARENT_SCOPE)
endfunction()

# os_check_production_targets(<folders...>)
# Stops the configuration when a target defined in one of the folders links
# the test helpers (os_test_support, os_test_pages) or compiles a file of
# tests/.
function(os_check_production_targets)
    foreach(_dir IN LISTS ARGN)
        get_property(_targets DIRECTORY ${_dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(_t IN LISTS _targets)
            set(_linked)
            _os_linked_targets(${_t} _linked)
            foreach(_helper os_test_support os_test_pages)
                if(_helper IN_LIST _linked)
                    message(FATAL_ERROR "${_t} is a production target and links ${_helper}")
                endif()
            endforeach()
            get_target_property(_srcs ${_t} SOURCES)
            foreach(_s IN LISTS _srcs)
                get_filename_component(_abs ${_s} ABSOLUTE BASE_DIR ${_dir})
                if(_abs MATCHES "^${PROJECT_SOURCE_DIR}/tests/")
                    message(FATAL_ERROR "${_t} is a production target and compiles ${_s}")
                endif()
            endforeach()
        endforeach()
    endforeach()
endfunction()
