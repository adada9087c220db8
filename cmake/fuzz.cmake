# Each fuzz/<name>_fuzz.cpp is a libFuzzer target built with clang.
file(GLOB TAMBRIX_FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*_fuzz.cpp)
foreach(source ${TAMBRIX_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE tambrix_core)
endforeach()
target_compile_options(tambrix_core PRIVATE -fsanitize=fuzzer-no-link)
# The live stream reading of the analyser, without its main.
file(GLOB TAMBRIX_LIVE_CLI_SOURCES CONFIGURE_DEPENDS src/cli/*.cpp)
list(FILTER TAMBRIX_LIVE_CLI_SOURCES EXCLUDE REGEX "/main\\.cpp$")
target_sources(live_stream_fuzz PRIVATE ${TAMBRIX_LIVE_CLI_SOURCES})
