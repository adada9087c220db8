find_package(benchmark REQUIRED)

# Each bench/<name>_bench.cpp is a program of its own.
file(GLOB TAMBRIX_BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
foreach(source ${TAMBRIX_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE bench tests)
  target_link_libraries(${name} PRIVATE tambrix_ui_logic benchmark::benchmark tambrix_warnings)
endforeach()
