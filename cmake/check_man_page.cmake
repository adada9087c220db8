cmake_minimum_required(VERSION 3.25)
# Checks that the analyser's manual page lists the options its --help lists,
# in the same order.
# Run as: cmake -DANALYZE=<tambrix-analyze> -DMAN_PAGE=<page> -P cmake/check_man_page.cmake
execute_process(COMMAND "${ANALYZE}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${ANALYZE} --help failed: ${status}")
endif()
# An option of the help starts a line after two spaces.
string(REGEX MATCHALL "\n  --[a-z-]*" help_options "${help}")
string(REPLACE "\n  " "" help_options "${help_options}")

# An option of the page is the bold word after a .TP in its OPTIONS section.
file(READ "${MAN_PAGE}" page)
string(REGEX REPLACE ".*\n\\.SH OPTIONS\n" "" section "${page}")
string(REGEX REPLACE "\n\\.SH .*" "" section "${section}")
string(REGEX MATCHALL "\\.TP\n\\.BR? [^ \n]*" page_options "${section}")
list(TRANSFORM page_options REPLACE "^\\.TP\n\\.BR? " "")
list(TRANSFORM page_options REPLACE "\\\\-" "-")

if(NOT help_options STREQUAL page_options)
  message(FATAL_ERROR "The manual page's options (${page_options}) are not those of "
                      "--help (${help_options})")
endif()
message(STATUS "The manual page lists the options of --help: ${help_options}")
