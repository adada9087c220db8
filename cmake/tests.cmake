find_package(GTest REQUIRED)
include(GoogleTest)

# Shared test helpers (temporary directories, generated clips, log readers,
# the literal reference analysis, the fake microphone), header-only.
add_library(tambrix_test_support INTERFACE)
target_include_directories(tambrix_test_support INTERFACE tests)
target_link_libraries(tambrix_test_support INTERFACE tambrix_ui_logic GTest::gtest)

# One test program per subsystem folder: tests/<folder>/*_test.cpp. Tests that
# need Qt end in _qt_test.cpp and are built by cmake/gui.cmake.
function(tambrix_add_test_folder folder)
  file(GLOB sources CONFIGURE_DEPENDS tests/${folder}/*_test.cpp)
  list(FILTER sources EXCLUDE REGEX "_qt_test\\.cpp$")
  if(NOT sources)
    return()
  endif()
  set(target tambrix_${folder}_tests)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE tambrix_test_support GTest::gtest_main
                                          tambrix_warnings ${ARGN})
  target_compile_definitions(${target} PRIVATE
    TAMBRIX_ANALYZE_PATH="$<TARGET_FILE:tambrix-analyze>"
    TAMBRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${folder} TIMEOUT 300)
endfunction()

tambrix_add_test_folder(log)
tambrix_add_test_folder(engine)
tambrix_add_test_folder(avi)
tambrix_add_test_folder(media)
tambrix_add_test_folder(shell)
tambrix_add_test_folder(display)
tambrix_add_test_folder(cli)
foreach(target tambrix_cli_tests tambrix_media_tests)
  if(TARGET ${target})
    add_dependencies(${target} tambrix-analyze)
  endif()
endforeach()

# The folders of src/ depend on each other only downwards, and Qt stays in
# its own files.
add_test(NAME LayerRules COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                                 -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake)

# The analyser's manual page lists the options of its --help.
add_test(NAME ManPageOptions
         COMMAND ${CMAKE_COMMAND} -DANALYZE=$<TARGET_FILE:tambrix-analyze>
                 -DMAN_PAGE=${CMAKE_SOURCE_DIR}/resources/tambrix-analyze.1.in
                 -P ${CMAKE_SOURCE_DIR}/cmake/check_man_page.cmake)
